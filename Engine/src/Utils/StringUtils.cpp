#include "Utils/StringUtils.h"

#include <algorithm>
#include <cctype>

namespace {

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

} // namespace

void trimLeft(std::string& text) { text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), isSpace)); }

void trimRight(std::string& text)
{
    text.erase(std::find_if_not(text.rbegin(), text.rend(), isSpace).base(), text.end());
}

void trim(std::string& text)
{
    trimLeft(text);
    trimRight(text);
}

void toUpper(std::string& text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

void toLower(std::string& text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    return prefix.size() <= text.size() && text.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::string_view text, std::string_view suffix)
{
    return suffix.size() <= text.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::vector<std::string> split(std::string_view text, std::string_view delimiters, bool skipEmpty)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    while (true) {
        const size_t end = text.find_first_of(delimiters, start);
        const std::string_view piece = text.substr(start, end == std::string_view::npos ? end : end - start);
        if (!skipEmpty || !piece.empty())
            pieces.emplace_back(piece);
        if (end == std::string_view::npos)
            return pieces;
        start = end + 1;
    }
}

std::vector<std::string> split(std::string_view text, char delimiter, bool skipEmpty)
{
    return split(text, std::string_view(&delimiter, 1), skipEmpty);
}

std::string quotedExcerpt(const std::string& text, size_t limit)
{
    if (text.size() <= limit)
        return "'" + text + "'";
    size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return "'" + text.substr(0, end) + "...' (" + std::to_string(text.size()) + " characters)";
}
