#pragma once
// Graphics: colours, the renderer and textures, surfaces and fonts, drawables and animations.
// Depends on Core (the renderer, fatal errors), Math and Utils.

#include <SDL_pixels.h>

#include <cstdint>
#include <iosfwd>
#include <string>

enum class NamedColor {
    WHITE,
    BLACK,
    RED,
    GREEN,
    BLUE,
    YELLOW,
    CYAN,
    MAGENTA,
    GRAY,
    LIGHT_GRAY,
    DARK_GREEN,
    DARK_RED,
    GOLD,
    EMPTY,
};

// Four bytes in the layout of SDL_Color. (0, 0, 0, 0) is the empty colour: no colour at all.
struct Color {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    uint8_t a = 0;

    constexpr Color() = default;
    constexpr Color(uint8_t r, uint8_t g, uint8_t b, uint8_t a)
        : r(r)
        , g(g)
        , b(b)
        , a(a)
    {
    }
    // The table's r, g, b with the given alpha; EMPTY is (0, 0, 0, 0) whatever the alpha.
    Color(NamedColor name, uint8_t alpha);
    // Colour text: a name (WHITE .. GRAY, EMPTY, any case), #RRGGBB or #AARRGGBB; anything else is empty.
    explicit Color(const std::string& text);
    // The components SDL_GetRGBA gives for a pixel value in a format.
    Color(uint32_t pixel, const SDL_PixelFormat* format);

    static constexpr uint8_t opaqueAlpha() { return 255; }
    // r, g, b from three numbers of the engine's generator (low 8 bits each), a = 255.
    static Color random();

    uint32_t map(const SDL_PixelFormat* format) const;
    SDL_Color toSDL() const { return {r, g, b, a}; }
    bool isEmpty() const { return r == 0 && g == 0 && b == 0 && a == 0; }
    bool isTransparent(uint8_t threshold) const { return a <= threshold; }
    // r, g, b from three new generator numbers; a unchanged.
    void randomize();

    friend constexpr bool operator==(const Color&, const Color&) = default;
};

static_assert(sizeof(Color) == sizeof(SDL_Color));

// "(r:255 g:0 b:128 a:255 #ff0080) ", trailing blank included.
std::ostream& operator<<(std::ostream& out, const Color& c);
