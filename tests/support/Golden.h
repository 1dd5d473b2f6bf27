#pragma once

#include <sstream>
#include <string>
#include <vector>

// Golden traces: a row of space-separated values per frame from frame 1, in tests/golden/<name> under a line
// naming the fields. The rows must equal the golden ones (the first frame that differs is reported field by
// field); with DUELFALL_UPDATE_GOLDEN set in the environment the file is written from them instead.
void expectGolden(const std::vector<std::string>& rows, const std::string& name, const std::string& fields);

// A golden row: the values, each followed by a space.
template <typename... T> std::string join(const T&... values)
{
    std::ostringstream out;
    ((out << values << ' '), ...);
    return out.str();
}
