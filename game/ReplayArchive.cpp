#include "ReplayArchive.h"

#include "Utils/LogFile.h"
#include "Utils/Time.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kExtension = ".replay";
constexpr const char* kLastReplay = "last.replay";

void reportError(const std::string& message)
{
    writeLogLine(logFile(), message, true);
    std::cerr << "Duelfall: " << message << '\n';
}

// Written beside the file and renamed over it, so that a cut write never spoils the one already there.
bool writeFile(const std::string& path, const std::string& text)
{
    const std::string partial = path + ".part";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        file << text;
        file.close();
        if (!file) {
            reportError("Replay " + path + " failed write!");
            return false;
        }
    }
    std::error_code error;
    fs::rename(partial, path, error);
    if (error) {
        reportError("Replay " + path + " failed write! " + error.message());
        return false;
    }
    return true;
}

} // namespace

ReplayArchive::ReplayArchive(std::string directory, std::time_t startTime)
    : directory_(std::move(directory))
    , startTime_(startTime)
{
}

bool ReplayArchive::save(const Replay& replay)
{
    std::error_code error;
    fs::create_directories(directory_, error);
    if (path_.empty())
        path_ = (fs::path(directory_) / chooseFileName()).string();
    if (!writeFile(path_, replay.text()))
        return false;
    pruneOldReplays();
    return true;
}

bool ReplayArchive::saveAsLast(const Replay& replay)
{
    if (!save(replay))
        return false;
    const std::string last = (fs::path(directory_) / kLastReplay).string();
    if (!writeFile(last, replay.text()))
        return false;
    writeLogLine(logFile(), "Replay saved: " + path_ + " (" + std::to_string(replay.frames) + " frames)", false);
    return true;
}

std::string ReplayArchive::chooseFileName() const
{
    // Two runs started in the same second get "_2", "_3", ...: the names still sort by age.
    const std::string stem = formatTime(startTime_, "%Y-%m-%d_%H-%M-%S");
    std::string name = stem + kExtension;
    std::error_code error;
    for (int n = 2; fs::exists(fs::path(directory_) / name, error); ++n)
        name = stem + "_" + std::to_string(n) + kExtension;
    return name;
}

void ReplayArchive::pruneOldReplays()
{
    // The names are start times, so their order is the order of age.
    std::vector<fs::path> replays;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory_, error)) {
        const fs::path& file = entry.path();
        if (file.extension() == kExtension && file.filename() != kLastReplay && entry.is_regular_file(error))
            replays.push_back(file);
    }
    std::sort(replays.begin(), replays.end());
    for (size_t i = 0; i + kKeptReplays < replays.size(); ++i)
        fs::remove(replays[i], error);
}
