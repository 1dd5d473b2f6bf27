#include "Utils/LogFile.h"

#include "Utils/Path.h"
#include "Utils/Time.h"
#include "Utils/Utf8Path.h"

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

void writeLogLine(std::ostream& stream, const std::string& message, bool isError)
{
    writeLogLine(stream, message, isError, currentTime());
}

void writeLogLine(std::ostream& stream, const std::string& message, bool isError, std::time_t when)
{
    stream << formatTime(when, "%d.%m.%Y %H:%M:%S") << " |" << (isError ? "ERROR" : "INFO") << "| " << message << '\n'
           << std::flush;
}
