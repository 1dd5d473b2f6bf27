#pragma once

#include <cstdint>
#include <iosfwd>
#include <string_view>

namespace pugi {
class xml_node;
}

// A width and a height in logical pixels.
struct Size {
    int32_t w = 0;
    int32_t h = 0;

    constexpr Size() = default;
    constexpr Size(int32_t w, int32_t h)
        : w(w)
        , h(h)
    {
    }
    // Reads the attributes "width" and "height" of the first element of an XML text.
    explicit Size(std::string_view xmlText);
    static Size fromXml(const pugi::xml_node& element);

    constexpr Size& operator+=(const Size& o)
    {
        w += o.w;
        h += o.h;
        return *this;
    }
    constexpr Size& operator-=(const Size& o)
    {
        w -= o.w;
        h -= o.h;
        return *this;
    }
    constexpr Size& operator*=(const Size& o)
    {
        w *= o.w;
        h *= o.h;
        return *this;
    }
    friend constexpr bool operator==(const Size&, const Size&) = default;
};

std::ostream& operator<<(std::ostream& out, const Size& s);
