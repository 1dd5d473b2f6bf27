#include "Utils/LogFile.h"

#include "Utils/Path.h"
#include "Utils/Time.h"
#include "Utils/Utf8Path.h"

#include <algorithm>

namespace {

std::ofstream openLogFile()
{
    createDirectory("userData");
    // Appending keeps the lines of earlier runs. A failed open leaves the stream failed, which
    // silently drops every later line. Binary: lines end in "\n" on Windows too.
    return std::ofstream(
        pathFromUtf8(basePath() + "/userData/log.txt"), std::ios::out | std::ios::app | std::ios::binary);
}

} // namespace

std::ofstream& logFile()
{
    static std::ofstream stream = openLogFile();
    return stream;
}

std::string cutLongLines(const std::string& text, size_t limit)
{
    std::string cut;
    for (size_t start = 0; start <= text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const size_t length = end - start;
        if (length <= limit) {
            cut.append(text, start, length);
        } else {
            const std::string mark = " [cut: " + std::to_string(length) + " bytes in all]";
            size_t kept = limit > mark.size() ? limit - mark.size() : 0;
            while (kept > 0 && (static_cast<unsigned char>(text[start + kept]) & 0xC0) == 0x80)
                --kept;
            cut.append(text, start, kept).append(mark);
        }
        if (end < text.size())
            cut += '\n';
        start = end + 1;
    }
    return cut;
}

void writeLogLine(std::ostream& stream, const std::string& message, bool isError)
{
    writeLogLine(stream, message, isError, currentTime());
}

void writeLogLine(std::ostream& stream, const std::string& message, bool isError, std::time_t when)
{
    const std::string head = formatTime(when, "%d.%m.%Y %H:%M:%S") + " |" + (isError ? "ERROR" : "INFO") + "| ";
    stream << head << cutLongLines(message, kLongestLogLine - head.size()) << '\n' << std::flush;
}
