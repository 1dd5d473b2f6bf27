#pragma once

#include <ctime>
#include <string>

// Seconds since the epoch, as the C library's time() gives them.
std::time_t currentTime();
// The time in local time, formatted by a strftime-style pattern.
std::string formatTime(std::time_t time, const std::string& format);
// A local date and time (year in full, month 1 to 12) as calendar time; -1 if it cannot be represented.
std::time_t makeTime(int year, int month, int day, int hour, int minute, int second);
