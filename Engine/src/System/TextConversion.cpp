#include "System/TextConversion.h"

#include <cstdint>

namespace {

// Lead bytes 110xxxxx, 1110xxxx and 11110xxx announce 1, 2 and 3 continuation bytes.
struct LeadByte {
    uint8_t mask;
    uint8_t marks;
    std::size_t continuations;
};
constexpr LeadByte kLeadBytes[] = {{0xE0, 0xC0, 1}, {0xF0, 0xE0, 2}, {0xF8, 0xF0, 3}};

constexpr char32_t kFirstSupplementary = 0x10000;
constexpr char16_t kHighSurrogateFirst = 0xD800;
constexpr char16_t kHighSurrogateLast = 0xDBFF;
constexpr char16_t kLowSurrogateFirst = 0xDC00;

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes the code point at `pos` and moves `pos` past it. A sequence cut short by the end of the text
// takes only the bytes that are there.
char32_t decodeUtf8(std::string_view text, std::size_t& pos)
{
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80)
        return lead;
    for (const LeadByte& form : kLeadBytes) {
        if ((lead & form.mask) != form.marks)
            continue;
        char32_t codePoint = lead & static_cast<uint8_t>(~form.mask);
        for (std::size_t i = 0; i < form.continuations && pos < text.size(); ++i)
            codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[pos++]) & 0x3F);
        return codePoint;
    }
    return lead;
}

void appendUtf8(std::string& out, char32_t cp)
{
    auto byte = [&out](char32_t value) { out.push_back(static_cast<char>(value)); };
    if (cp < 0x80) {
        byte(cp);
    } else if (cp < 0x800) {
        byte(0xC0 | (cp >> 6));
        byte(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        byte(0xE0 | (cp >> 12));
        byte(0x80 | ((cp >> 6) & 0x3F));
        byte(0x80 | (cp & 0x3F));
    } else {
        byte(0xF0 | ((cp >> 18) & 0x07));
        byte(0x80 | ((cp >> 12) & 0x3F));
        byte(0x80 | ((cp >> 6) & 0x3F));
        byte(0x80 | (cp & 0x3F));
    }
}

} // namespace

std::size_t utf8Length(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); ++count)
        decodeUtf8(text, pos);
    return count;
}

std::u16string utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t cp = decodeUtf8(text, pos);
        if (cp < kFirstSupplementary) {
            out.push_back(static_cast<char16_t>(cp));
        } else {
            // (cp >> 10) + 0xD7C0 is 0xD800 + ((cp - 0x10000) >> 10).
            out.push_back(static_cast<char16_t>((cp >> 10) + 0xD7C0));
            out.push_back(static_cast<char16_t>((cp & 0x3FF) + kLowSurrogateFirst));
        }
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        char32_t cp = text[pos];
        if (cp >= kHighSurrogateFirst && cp <= kHighSurrogateLast && pos + 1 < text.size()) {
            const char32_t low = text[++pos];
            // Arithmetic modulo 2^32 keeps an unpaired "low" unit below 0xDC00 well defined.
            cp = (cp - kHighSurrogateFirst) * 0x400 + (low - kLowSurrogateFirst) + kFirstSupplementary;
        }
        appendUtf8(out, cp);
    }
    return out;
}

void utf8DropLast(std::string& text, std::size_t n)
{
    for (std::size_t i = 0; i < n && !text.empty(); ++i) {
        std::size_t start = text.size() - 1;
        while (start > 0 && isContinuation(static_cast<unsigned char>(text[start])))
            --start;
        text.erase(start);
    }
}
