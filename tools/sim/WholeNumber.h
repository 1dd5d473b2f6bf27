#pragma once

#include <climits>
#include <optional>
#include <string>

// A whole number from `least` to `most` written alone (no sign, blanks or trailing text); nothing otherwise.
// Read in 64 bits whatever the width of long (32 bits on Windows), so that a big number is refused, not thrown.
inline std::optional<long long> parseWholeNumber(const std::string& text, long long least, long long most = LONG_MAX)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 15)
        return std::nullopt;
    const long long value = std::stoll(text);
    if (value < least || value > most)
        return std::nullopt;
    return value;
}
