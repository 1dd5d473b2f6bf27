#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Conversions between UTF-8 and UTF-16 text for the operating system's wide-character calls. Nothing
// is validated: a malformed sequence is decoded by its lead byte alone, continuation bytes are taken
// without checking their marks, and a stray continuation byte or a byte 0xF8..0xFF stands for itself.

// The number of code points in the text.
std::size_t utf8Length(std::string_view text);

// Code points below 0x10000 become one unit, larger ones a surrogate pair.
std::u16string utf8ToUtf16(std::string_view text);

// A high surrogate (0xD800..0xDBFF) is combined with the unit after it, whatever that unit is; a high
// surrogate at the very end stands alone.
std::string utf16ToUtf8(std::u16string_view text);

// Removes the last n code points, stepping back over continuation bytes; with n at or above the number
// of code points of well-formed text the text becomes empty. Never reads before the start.
void utf8DropLast(std::string& text, std::size_t n);
