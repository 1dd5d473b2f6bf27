#pragma once

#include <string>
#include <string_view>
#include <vector>

// White space is what the C library's isspace accepts; case changes use toupper and tolower.
void trimLeft(std::string& text);
void trimRight(std::string& text);
void trim(std::string& text);
void toUpper(std::string& text);
void toLower(std::string& text);
bool startsWith(std::string_view text, std::string_view prefix);
bool endsWith(std::string_view text, std::string_view suffix);
// Every character of delimiters ends a piece. Without skipEmpty, n delimiters give n + 1 pieces.
std::vector<std::string> split(std::string_view text, std::string_view delimiters, bool skipEmpty = false);
std::vector<std::string> split(std::string_view text, char delimiter, bool skipEmpty = false);

// A piece of text in single quotes for a message: at most `limit` bytes of it, cut back to a whole UTF-8
// character, followed by "...' (N characters)" when cut, so that a damaged file cannot flood the log.
std::string quotedExcerpt(const std::string& text, size_t limit);
