#pragma once

#include <optional>
#include <string>

// A whole number of at least `least` written alone (no sign, blanks or trailing text); nothing otherwise.
inline std::optional<long> parseWholeNumber(const std::string& text, long least)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 15)
        return std::nullopt;
    const long value = std::stol(text);
    if (value < least)
        return std::nullopt;
    return value;
}
