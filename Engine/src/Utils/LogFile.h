#pragma once
// Utils: logging, paths, time, file streams and string helpers. Depends on the C++ library and SDL's
// file streams (File) only.

#include <ctime>
#include <fstream>
#include <string>

// The process-wide log, "userData/log.txt" below the base path, opened for appending on first use.
// If it cannot be opened the stream stays failed and every line is silently dropped.
std::ofstream& logFile();

// Appends "dd.mm.YYYY HH:MM:SS |LEVEL| message" (local time) and flushes.
void writeLogLine(std::ostream& stream, const std::string& message, bool isError);
// The same at a given time, so that the line's form can be checked without the clock.
void writeLogLine(std::ostream& stream, const std::string& message, bool isError, std::time_t when);
