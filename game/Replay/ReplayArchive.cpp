#include "Replay/ReplayArchive.h"

#include "Utils/LogFile.h"
#include "Utils/TextFile.h"
#include "Utils/Time.h"
#include "Utils/Utf8Path.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <future>
#include <iostream>
#include <optional>
#include <regex>
#include <system_error>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr const char* kExtension = ".replay";
constexpr const char* kLastReplay = "last.replay";
// Runs started in one second: far more than any player starts, and a bound on the search for a free name.
constexpr int kMostRunsInASecond = 10000;

void reportError(const std::string& message)
{
    writeLogLine(logFile(), message, true);
    std::cerr << "Duelfall: " << message << '\n';
}

// A run's place in time: the start time of its name, then its number in that second (1 without "_N").
using RunOrder = std::pair<std::string, long>;

std::optional<RunOrder> runOrderOf(const std::string& name)
{
    static const std::regex pattern(R"((\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d)(?:_([2-9]|[1-9]\d{1,8}))?\.replay)");
    std::smatch match;
    if (!std::regex_match(name, match, pattern))
        return std::nullopt;
    return RunOrder{match[1].str(), match[2].matched ? std::stol(match[2].str()) : 1};
}

// Creates the file only if no file of that name exists, in one step that no other process can come
// between: 0, or the error number (EEXIST when the name is taken).
int createNewFile(const fs::path& path)
{
#ifdef _WIN32
    const int fd = _wopen(path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return errno;
    _close(fd);
#else
    const int fd = open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    close(fd);
#endif
    return 0;
}

// Where no thread is to be had: the files written here and now, whole when update() returns.
std::future<std::string> writtenNow(std::string error)
{
    std::promise<std::string> done;
    done.set_value(std::move(error));
    return done.get_future();
}

} // namespace

ReplayArchive::ReplayArchive(std::string directory, std::time_t startTime)
    : directory_(std::move(directory))
    , startTime_(startTime)
{
}

bool ReplayArchive::isRunName(const std::string& name) { return runOrderOf(name).has_value(); }

ReplayArchive::~ReplayArchive() { finishWriting(); }

std::string ReplayArchive::replaceFile(const std::string& path, const std::string& temporary, const std::string& text)
{
    const std::optional<std::string> reason = ::replaceFile(path, temporary, text);
    if (!reason)
        return {};
    return "Replay " + path + " failed write!" + (reason->empty() ? "" : " " + *reason);
}

bool ReplayArchive::update(const Replay& replay)
{
    // A game closed before its first whole frame has nothing to keep.
    if (replay.frames == 0)
        return true;
    if (path_.empty() && !claimFileName())
        return false;
    // The write before is long done (it was started seconds ago), so this hardly ever waits.
    const bool written = finishWriting();
    // The temporary names derive from the run's own name, which no other game holds.
    const std::string last = utf8FromPath(pathFromUtf8(directory_) / kLastReplay);
    auto write = [own = path_, last, text = replay.text()] {
        std::string error = replaceFile(own, own + ".part", text);
        return error.empty() ? replaceFile(last, own + ".last.part", text) : error;
    };
#ifdef __EMSCRIPTEN__
    // A browser's page has no threads (one asked for never starts, and its result never comes).
    writing_ = writtenNow(write());
#else
    try {
        writing_ = std::async(std::launch::async, write);
    } catch (const std::system_error&) {
        writing_ = writtenNow(write());
    }
#endif
    return written;
}

bool ReplayArchive::finishWriting()
{
    if (!writing_.valid())
        return true;
    const std::string error = writing_.get();
    if (!error.empty())
        reportError(error);
    return error.empty();
}

bool ReplayArchive::save(const Replay& replay)
{
    if (!update(replay) || !finishWriting())
        return false;
    if (!path_.empty())
        writeLogLine(logFile(), "Replay saved: " + path_ + " (" + std::to_string(replay.frames) + " frames)", false);
    return true;
}

bool ReplayArchive::claimFileName()
{
    const fs::path directory = pathFromUtf8(directory_);
    std::error_code error;
    fs::create_directories(directory, error);
    const std::string stem = formatTime(startTime_, "%Y-%m-%d_%H-%M-%S");
    for (int n = 1; n <= kMostRunsInASecond; ++n) {
        const std::string name = stem + (n == 1 ? "" : "_" + std::to_string(n)) + kExtension;
        const int failure = createNewFile(directory / name);
        if (failure == EEXIST)
            continue;
        if (failure != 0) {
            reportError("Replay " + utf8FromPath(directory / name) + " failed write! "
                + std::generic_category().message(failure));
            return false;
        }
        path_ = utf8FromPath(directory / name);
        pruneOldReplays();
        return true;
    }
    reportError("Replay directory " + directory_ + " holds no free name for a run started at " + stem);
    return false;
}

void ReplayArchive::pruneOldReplays() const
{
    const fs::path own = pathFromUtf8(path_).filename();
    std::vector<std::pair<RunOrder, fs::path>> others;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(pathFromUtf8(directory_), error)) {
        const fs::path& file = entry.path();
        if (file.filename() == own || !entry.is_regular_file(error))
            continue;
        if (const std::optional<RunOrder> order = runOrderOf(utf8FromPath(file.filename())))
            others.emplace_back(*order, file);
    }
    // This run is one of the ten, whatever its name says: the newest others make up the rest.
    std::sort(others.begin(), others.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (size_t i = kKeptReplays - 1; i < others.size(); ++i) {
        const fs::path& older = others[i].second;
        fs::remove(older, error);
    }
    removeOrphanedTemporaries();
}

// A game killed while it wrote leaves its temporary files. They go with their run: a run's file is
// claimed before its first write, so a temporary whose run is gone belongs to no living game.
void ReplayArchive::removeOrphanedTemporaries() const
{
    std::error_code error;
    const fs::path directory = pathFromUtf8(directory_);
    std::vector<fs::path> orphans;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory, error)) {
        const std::string name = utf8FromPath(entry.path().filename());
        for (const std::string suffix : {".last.part", ".part"}) {
            if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
                continue;
            const std::string run = name.substr(0, name.size() - suffix.size());
            if (isRunName(run) && !fs::exists(directory / pathFromUtf8(run), error))
                orphans.push_back(entry.path());
            break;
        }
    }
    for (const fs::path& orphan : orphans)
        fs::remove(orphan, error);
}
