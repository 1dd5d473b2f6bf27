// Fuzzes colour text, as animation files give it in their transparentColor attribute. The parser is
// checked against a reference written here from the format's rules: a colour name (any case), EMPTY,
// #RRGGBB or #AARRGGBB give their colour, anything else the empty colour; and every colour read from
// hexadecimal text reads back the same from the text it prints as.

#include "Graphics/Color.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

std::string asciiUpper(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::optional<int> hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return std::nullopt;
}

std::optional<Color> fromHex(const std::string& upper)
{
    if ((upper.size() != 7 && upper.size() != 9) || upper[0] != '#')
        return std::nullopt;
    uint8_t bytes[4] = {};
    for (size_t i = 1; i < upper.size(); i += 2) {
        const auto high = hexValue(upper[i]);
        const auto low = hexValue(upper[i + 1]);
        if (!high || !low)
            return std::nullopt;
        bytes[i / 2] = static_cast<uint8_t>(*high * 16 + *low);
    }
    if (upper.size() == 7)
        return Color(bytes[0], bytes[1], bytes[2], 255);
    return Color(bytes[1], bytes[2], bytes[3], bytes[0]);
}

Color expectedColor(const std::string& text)
{
    struct Name {
        const char* text;
        Color color;
    };
    static const Name names[] = {
        {"WHITE", {255, 255, 255, 255}},
        {"BLACK", {0, 0, 0, 255}},
        {"RED", {255, 0, 0, 255}},
        {"GREEN", {0, 255, 0, 255}},
        {"BLUE", {0, 0, 255, 255}},
        {"YELLOW", {255, 255, 0, 255}},
        {"CYAN", {0, 255, 255, 255}},
        {"MAGENTA", {255, 0, 255, 255}},
        {"GRAY", {128, 128, 128, 255}},
    };
    const std::string upper = asciiUpper(text);
    for (const Name& name : names) {
        if (upper == name.text)
            return name.color;
    }
    return fromHex(upper).value_or(Color());
}

std::string printed(const char* format, int a, int b, int c, int d = 0)
{
    char text[64];
    std::snprintf(text, sizeof text, format, a, b, c, d);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Color color(text);
    check(color == expectedColor(text));

    // Every colour prints as #AARRGGBB and reads back unchanged; opaque ones also as #RRGGBB.
    check(Color(printed("#%02x%02x%02x%02x", color.a, color.r, color.g, color.b)) == color);
    check(Color(printed("#%02X%02X%02X%02X", color.a, color.r, color.g, color.b)) == color);
    if (color.a == 255)
        check(Color(printed("#%02x%02X%02x", color.r, color.g, color.b)) == color);

    std::ostringstream out;
    out << color;
    check(out.str()
        == "(r:" + std::to_string(color.r) + " g:" + std::to_string(color.g) + " b:" + std::to_string(color.b)
            + " a:" + std::to_string(color.a) + printed(" #%02x%02x%02x) ", color.r, color.g, color.b));
    return 0;
}
