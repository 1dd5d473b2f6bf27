#pragma once

#include "Math/Point.h"
#include "Math/Size.h"

#include <SDL_rect.h>

#include <algorithm>
#include <cstdint>
#include <iosfwd>
#include <string_view>

// A rectangle covering the pixels x <= px < x + w, y <= py < y + h. Same layout as SDL_Rect.
// Negative sizes are stored as given; such a rectangle overlaps nothing.
struct Rect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;

    constexpr Rect() = default;
    constexpr Rect(int32_t x, int32_t y, int32_t w, int32_t h)
        : x(x)
        , y(y)
        , w(w)
        , h(h)
    {
    }
    constexpr Rect(Point p, Size s)
        : x(p.x)
        , y(p.y)
        , w(s.w)
        , h(s.h)
    {
    }
    // r grown by margin on every side; a negative margin shrinks it.
    constexpr Rect(const Rect& r, int32_t margin)
        : x(r.x - margin)
        , y(r.y - margin)
        , w(r.w + 2 * margin)
        , h(r.h + 2 * margin)
    {
    }
    // Reads "x", "y", "width" and "height" of the first element of an XML text (0 when missing).
    explicit Rect(std::string_view xmlText);
    static Rect fromXml(const pugi::xml_node& element);

    constexpr Point position() const { return {x, y}; }
    constexpr void setPosition(Point p)
    {
        x = p.x;
        y = p.y;
    }
    constexpr Size size() const { return {w, h}; }
    constexpr void setSize(Size s)
    {
        w = s.w;
        h = s.h;
    }
    // Integer halves, rounding toward zero.
    constexpr Point center() const { return {x + w / 2, y + h / 2}; }
    constexpr void setCenter(Point p)
    {
        x = p.x - w / 2;
        y = p.y - h / 2;
    }

    constexpr int32_t left() const { return x; }
    constexpr int32_t right() const { return x + w; }
    constexpr int32_t top() const { return y; }
    constexpr int32_t bottom() const { return y + h; }
    constexpr void setLeft(int32_t v) { x = v; }
    constexpr void setRight(int32_t v) { x = v - w; }
    constexpr void setTop(int32_t v) { y = v; }
    constexpr void setBottom(int32_t v) { y = v - h; }

    // Strict overlap: rectangles that only share an edge or a corner do not intersect. Edges are summed
    // in 64 bits so that rectangles near the ends of the 32-bit range cannot overflow. Inline: the
    // simulator's autopilot tests tens of thousands of rectangles a frame.
    constexpr bool intersects(const Rect& other) const
    {
        const int64_t overlapLeft = std::max<int64_t>(x, other.x);
        const int64_t overlapRight = std::min(int64_t{x} + w, int64_t{other.x} + other.w);
        const int64_t overlapTop = std::max<int64_t>(y, other.y);
        const int64_t overlapBottom = std::min(int64_t{y} + h, int64_t{other.y} + other.h);
        return overlapRight > overlapLeft && overlapBottom > overlapTop;
    }
    // Left and top edges inside, right and bottom edges outside.
    bool contains(Point p) const;

    friend constexpr bool operator==(const Rect&, const Rect&) = default;

    const SDL_Rect* sdl() const { return reinterpret_cast<const SDL_Rect*>(this); }
};

static_assert(sizeof(Rect) == sizeof(SDL_Rect));

std::ostream& operator<<(std::ostream& out, const Rect& r);
