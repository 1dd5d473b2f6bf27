#pragma once
// Math: the engine's plain value types for whole-pixel geometry and its random numbers.
// Depends on SDL only for the layout-compatible views handed to SDL calls.

#include <SDL_rect.h>

#include <cstdint>
#include <iosfwd>
#include <string_view>

namespace pugi {
class xml_node;
}

// A position in logical pixels; y grows downwards. Same layout as SDL_Point.
struct Point {
    int32_t x = 0;
    int32_t y = 0;

    constexpr Point() = default;
    constexpr Point(int32_t x, int32_t y)
        : x(x)
        , y(y)
    {
    }
    // Reads the attributes "x" and "y" of the first element of an XML text (0 when missing).
    explicit Point(std::string_view xmlText);
    static Point fromXml(const pugi::xml_node& element);

    constexpr Point& operator+=(const Point& o)
    {
        x += o.x;
        y += o.y;
        return *this;
    }
    constexpr Point& operator-=(const Point& o)
    {
        x -= o.x;
        y -= o.y;
        return *this;
    }
    friend constexpr bool operator==(const Point&, const Point&) = default;

    const SDL_Point* sdl() const { return reinterpret_cast<const SDL_Point*>(this); }
};

static_assert(sizeof(Point) == sizeof(SDL_Point));

std::ostream& operator<<(std::ostream& out, const Point& p);
