#include "Settings/Records.h"

#include "Utils/LogFile.h"
#include "Utils/StringUtils.h"
#include "Utils/TextFile.h"

namespace {

constexpr const char* kNames[Records::kKindCount] = {"first_boss", "fight"};
// Six months of frames have nine digits: anything longer is damage.
constexpr size_t kMostDigits = 9;
constexpr std::uintmax_t kLargestFile = 1 << 16;

} // namespace

Records Records::read(const std::string& utf8Path)
{
    Records records = parse(readTextFile(utf8Path, kLargestFile).value_or(""), utf8Path);
    for (const std::string& problem : records.problems_)
        writeLogLine(logFile(), problem, false);
    return records;
}

Records Records::parse(const std::string& text, const std::string& utf8Path)
{
    Records records;
    records.path_ = utf8Path;
    const std::vector<std::string> lines = split(text, '\n');
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string line = lines[i];
        trim(line);
        if (line.empty() || line[0] == '#')
            continue;
        const size_t equals = line.find('=');
        std::string name = line.substr(0, equals);
        std::string value = equals == std::string::npos ? "" : line.substr(equals + 1);
        trim(name);
        trim(value);
        int kind = 0;
        while (kind < kKindCount && name != kNames[kind])
            ++kind;
        const bool number = !value.empty() && value.size() <= kMostDigits
            && value.find_first_not_of("0123456789") == std::string::npos
            && value.find_first_not_of('0') != std::string::npos;
        if (kind == kKindCount || !number) {
            records.problems_.push_back("records.ini line " + std::to_string(i + 1) + ": not a record, left out");
            continue;
        }
        records.best_[kind] = std::stol(value);
    }
    return records;
}

bool Records::offer(Kind kind, long frames)
{
    if (best_[kind] && *best_[kind] <= frames)
        return false;
    best_[kind] = frames;
    return true;
}

std::string Records::text() const
{
    std::string out = "# Duelfall's best times, in frames (60 a second)\n";
    for (int kind = 0; kind < kKindCount; ++kind)
        if (best_[kind])
            out += std::string(kNames[kind]) + " = " + std::to_string(*best_[kind]) + "\n";
    return out;
}

bool Records::write(std::string& error) const
{
    if (const std::optional<std::string> reason = replaceFile(path_, path_ + ".tmp", text())) {
        error = "Records " + path_ + " failed write!" + (reason->empty() ? "" : " " + *reason);
        return false;
    }
    return true;
}
