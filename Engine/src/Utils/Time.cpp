#include "Utils/Time.h"

#include <iomanip>
#include <sstream>

std::time_t currentTime() { return std::time(nullptr); }

std::string formatTime(std::time_t time, const std::string& format)
{
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &time) != 0)
        return {};
#else
    if (localtime_r(&time, &local) == nullptr)
        return {};
#endif
    std::ostringstream text;
    text << std::put_time(&local, format.c_str());
    return text.str();
}

std::time_t makeTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    // The C library decides whether daylight saving applies on that date.
    local.tm_isdst = -1;
    return std::mktime(&local);
}
