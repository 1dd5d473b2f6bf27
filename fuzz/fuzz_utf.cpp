// Fuzzes the UTF-8/UTF-16 conversions that carry text to the operating system's wide-character calls.
// The input is read twice: as UTF-8 bytes, and as little-endian UTF-16 units. Nothing may read or write
// out of bounds for any input, and well-formed text must survive the round trips unchanged.

#include "System/TextConversion.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }
bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Strict UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool isWellFormedUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        // The sequence's length, the payload bits of its lead byte, and the smallest code point that
        // needs that many bytes.
        std::size_t length = 4;
        char32_t cp = lead & 0x07;
        char32_t smallest = 0x10000;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if ((lead & 0xE0) == 0xC0) {
            length = 2;
            cp = lead & 0x1F;
            smallest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            cp = lead & 0x0F;
            smallest = 0x800;
        } else if ((lead & 0xF8) != 0xF0) {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + k]);
            if (!isContinuation(byte))
                return false;
            cp = (cp << 6) | (byte & 0x3F);
        }
        if (cp < smallest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

std::size_t leadBytes(std::string_view text)
{
    std::size_t count = 0;
    for (const char c : text)
        count += !isContinuation(static_cast<unsigned char>(c));
    return count;
}

void checkUtf8(std::string_view text)
{
    const std::size_t length = utf8Length(text);
    check(length <= text.size());
    check(length * 4 >= text.size());

    const std::u16string wide = utf8ToUtf16(text);
    check(wide.size() >= length && wide.size() <= 2 * length);

    const bool wellFormed = isWellFormedUtf8(text);
    if (wellFormed) {
        check(length == leadBytes(text));
        check(utf16ToUtf8(wide) == text);
    }

    // One code point at a time: always a prefix of the text, shorter than the step before until empty.
    std::string shrinking(text);
    for (std::size_t dropped = 1; dropped <= text.size() + 1; ++dropped) {
        const std::size_t before = shrinking.size();
        utf8DropLast(shrinking, 1);
        check(shrinking.size() < before || before == 0);
        check(text.substr(0, shrinking.size()) == shrinking);
        if (wellFormed)
            check(utf8Length(shrinking) == (dropped >= length ? 0 : length - dropped));
    }
    check(shrinking.empty());

    // Whole counts in one call, up to absurd ones.
    // Each step removes at least one byte. In malformed text a cut-short sequence counts as one code
    // point forwards but its bytes are dropped one by one backwards, so only as many steps as there are
    // bytes are sure to empty it.
    const std::size_t counts[] = {0, 1, length / 2, length, length + 1, text.size(), text.size() + 1, SIZE_MAX};
    for (const std::size_t n : counts) {
        std::string copy(text);
        utf8DropLast(copy, n);
        check(text.substr(0, copy.size()) == copy);
        if (n == 0)
            check(copy == text);
        if (n >= text.size() || (wellFormed && n >= length))
            check(copy.empty());
        if (wellFormed)
            check(utf8Length(copy) == (n >= length ? 0 : length - n));
    }
}

void checkUtf16(std::u16string_view wide)
{
    const std::string narrow = utf16ToUtf8(wide);
    check(narrow.size() <= 3 * wide.size());

    // Every high surrogate that has a unit after it is combined with it; every other unit stands alone.
    std::size_t codePoints = 0;
    bool pairedCorrectly = true;
    for (std::size_t i = 0; i < wide.size(); ++i, ++codePoints) {
        if (isHighSurrogate(wide[i]) && i + 1 < wide.size()) {
            pairedCorrectly = pairedCorrectly && isLowSurrogate(wide[i + 1]);
            ++i;
        }
    }
    // A unit and a combined pair each come out as one UTF-8 sequence, which reads back as one code point.
    check(utf8Length(narrow) == codePoints);
    // Lone surrogates travel as three-byte sequences and come back as the same unit.
    if (pairedCorrectly)
        check(utf8ToUtf16(narrow) == wide);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkUtf8(text);

    std::u16string wide(size / 2, u'\0');
    for (std::size_t i = 0; i < wide.size(); ++i)
        wide[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    checkUtf16(wide);
    return 0;
}
