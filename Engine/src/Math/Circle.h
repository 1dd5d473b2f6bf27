#pragma once

#include "Math/Point.h"

#include <cstdint>
#include <iosfwd>
#include <string_view>

namespace pugi {
class xml_node;
}

// A disc of whole pixels.
struct Circle {
    Point center;
    int32_t radius = 0;

    constexpr Circle() = default;
    constexpr Circle(Point center, int32_t radius)
        : center(center)
        , radius(radius)
    {
    }
    // Reads "centerX", "centerY" and "radius" of the first element of an XML text.
    explicit Circle(std::string_view xmlText);
    static Circle fromXml(const pugi::xml_node& element);

    // Strict: touching circles do not intersect.
    bool intersects(const Circle& other) const;
    // Strict: a point on the rim is outside.
    bool contains(Point p) const;

    friend constexpr bool operator==(const Circle&, const Circle&) = default;
};

std::ostream& operator<<(std::ostream& out, const Circle& c);
