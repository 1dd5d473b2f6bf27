#include "Graphics/Color.h"

#include "Math/Random.h"
#include "Utils/StringUtils.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <ostream>
#include <string_view>

namespace {

struct Rgb {
    uint8_t r;
    uint8_t g;
    uint8_t b;
};

// Indexed by NamedColor.
constexpr std::array<Rgb, 14> kNamedColors = {{
    {255, 255, 255}, // WHITE
    {0, 0, 0}, // BLACK
    {255, 0, 0}, // RED
    {0, 255, 0}, // GREEN
    {0, 0, 255}, // BLUE
    {255, 255, 0}, // YELLOW
    {0, 255, 255}, // CYAN
    {255, 0, 255}, // MAGENTA
    {128, 128, 128}, // GRAY
    {192, 192, 192}, // LIGHT_GRAY
    {0, 153, 0}, // DARK_GREEN
    {153, 0, 0}, // DARK_RED
    {255, 218, 0}, // GOLD
    {0, 0, 0}, // EMPTY
}};
static_assert(kNamedColors.size() == static_cast<size_t>(NamedColor::EMPTY) + 1);

struct TextName {
    std::string_view text;
    NamedColor color;
};

// The names colour text may use. LIGHT_GRAY, DARK_GREEN, DARK_RED and GOLD have none.
constexpr std::array<TextName, 9> kTextNames = {{
    {"WHITE", NamedColor::WHITE},
    {"BLACK", NamedColor::BLACK},
    {"RED", NamedColor::RED},
    {"GREEN", NamedColor::GREEN},
    {"BLUE", NamedColor::BLUE},
    {"YELLOW", NamedColor::YELLOW},
    {"CYAN", NamedColor::CYAN},
    {"MAGENTA", NamedColor::MAGENTA},
    {"GRAY", NamedColor::GRAY},
}};

bool isHexCode(const std::string& text)
{
    if ((text.size() != 7 && text.size() != 9) || text[0] != '#')
        return false;
    for (size_t i = 1; i < text.size(); ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i])))
            return false;
    }
    return true;
}

uint8_t hexDigit(char c)
{
    return static_cast<uint8_t>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : c - 'A' + 10);
}

// Two upper-case hexadecimal digits starting at position.
uint8_t hexByte(const std::string& text, size_t position)
{
    return static_cast<uint8_t>(hexDigit(text[position]) * 16 + hexDigit(text[position + 1]));
}

uint8_t randomByte() { return static_cast<uint8_t>(Random::random() & 0xFFu); }

} // namespace

Color::Color(NamedColor name, uint8_t alpha)
{
    if (name == NamedColor::EMPTY)
        return;
    // A number outside the table gets black rather than a read past its end.
    const auto index = static_cast<size_t>(name);
    if (index < kNamedColors.size()) {
        r = kNamedColors[index].r;
        g = kNamedColors[index].g;
        b = kNamedColors[index].b;
    }
    a = alpha;
}

Color::Color(const std::string& text)
{
    if (text.empty())
        return;
    std::string upper = text;
    toUpper(upper);
    for (const TextName& name : kTextNames) {
        if (upper == name.text) {
            *this = Color(name.color, opaqueAlpha());
            return;
        }
    }
    // "EMPTY" and every unreadable text leave the empty colour.
    if (!isHexCode(upper))
        return;
    if (upper.size() == 7) {
        *this = Color(hexByte(upper, 1), hexByte(upper, 3), hexByte(upper, 5), opaqueAlpha());
    } else {
        // #AARRGGBB: alpha comes first.
        *this = Color(hexByte(upper, 3), hexByte(upper, 5), hexByte(upper, 7), hexByte(upper, 1));
    }
}

Color::Color(uint32_t pixel, const SDL_PixelFormat* format) { SDL_GetRGBA(pixel, format, &r, &g, &b, &a); }

Color Color::random()
{
    // Drawn in the order r, g, b, each from its own number.
    const uint8_t red = randomByte();
    const uint8_t green = randomByte();
    const uint8_t blue = randomByte();
    return {red, green, blue, opaqueAlpha()};
}

uint32_t Color::map(const SDL_PixelFormat* format) const { return SDL_MapRGBA(format, r, g, b, a); }

void Color::randomize()
{
    r = randomByte();
    g = randomByte();
    b = randomByte();
}

std::ostream& operator<<(std::ostream& out, const Color& c)
{
    // The hex digits are formatted apart so that the caller's stream flags stay untouched.
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02x%02x%02x", c.r, c.g, c.b);
    return out << "(r:" << int{c.r} << " g:" << int{c.g} << " b:" << int{c.b} << " a:" << int{c.a} << " #" << hex
               << ") ";
}
