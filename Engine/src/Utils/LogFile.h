#pragma once
// Utils: logging, paths, time, file streams and string helpers. Depends on the C++ library and SDL's
// file streams (File) only.

#include <cstddef>
#include <ctime>
#include <fstream>
#include <string>

// The process-wide log, "userData/log.txt" below the base path, opened for appending on first use.
// If it cannot be opened the stream stays failed and every line is silently dropped.
std::ofstream& logFile();

// No line of the log, nor of the console's log messages, is longer than this many bytes: a longer
// message (a damaged file quoted whole) is cut, with a mark that says so.
inline constexpr size_t kLongestLogLine = 1000;

// The text with every line longer than `limit` bytes cut: its start, cut back to a whole UTF-8 character,
// and " [cut: N bytes in all]", together `limit` bytes or fewer.
std::string cutLongLines(const std::string& text, size_t limit);

// Appends "dd.mm.YYYY HH:MM:SS |LEVEL| message" (local time) and flushes; the line cut to kLongestLogLine.
void writeLogLine(std::ostream& stream, const std::string& message, bool isError);
// The same at a given time, so that the line's form can be checked without the clock.
void writeLogLine(std::ostream& stream, const std::string& message, bool isError, std::time_t when);
