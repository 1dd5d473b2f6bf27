// Fuzzes the XML-text constructors of Point, Size, Rect and Circle. The whole input is read as XML text:
// the four types must agree with each other and print in their fixed formats. Inputs of 33 bytes or
// more also make an element from four 64-bit numbers, written in the forms an integer attribute may take
// (decimal, signed, with leading blanks and zeros, hexadecimal after "0x"), which must read back exactly,
// clamped to the 32-bit range.

#include "Math/Circle.h"
#include "Math/Point.h"
#include "Math/Rect.h"
#include "Math/Size.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

template <typename T> std::string printed(const T& value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

std::string number(int64_t value) { return std::to_string(value); }

void checkText(std::string_view text)
{
    const Point point(text);
    const Size size(text);
    const Rect rect(text);
    const Circle circle(text);

    // The rectangle reads the point's "x" and "y" and the size's "width" and "height" of the same element.
    check(rect == Rect(point, size));
    check(rect.position() == point && rect.size() == size);

    check(printed(point) == "(x:" + number(point.x) + " y:" + number(point.y) + ")");
    check(printed(size) == "(w:" + number(size.w) + " h:" + number(size.h) + ")");
    check(printed(rect)
        == "(x:" + number(rect.x) + " y:" + number(rect.y) + " w:" + number(rect.w) + " h:" + number(rect.h) + ")");
    check(printed(circle) == "(center:" + printed(circle.center) + " r:" + number(circle.radius) + ")");

    // Text without any element holds no values.
    if (text.find('<') == std::string_view::npos) {
        check(rect == Rect() && circle.center == Point() && circle.radius == 0);
    }
}

int32_t clamped(int64_t value)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// One of the spellings of an integer attribute value, chosen by two bits of style.
std::string spelled(int64_t value, uint8_t style)
{
    const bool negative = value < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    char digits[32];
    if (style & 1)
        std::snprintf(digits, sizeof digits, "0x%llx", static_cast<unsigned long long>(magnitude));
    else
        std::snprintf(digits, sizeof digits, "%llu", static_cast<unsigned long long>(magnitude));
    const std::string sign = negative ? "-" : (style & 2) ? "+" : "";
    const std::string lead = (style & 4) ? " \t\n" : "";
    const std::string zeros = (style & 8) && !(style & 1) ? "000" : "";
    return lead + sign + zeros + digits;
}

void checkSpelledNumbers(const uint8_t* data)
{
    int64_t values[4];
    std::memcpy(values, data, sizeof values);
    const uint8_t style = data[sizeof values];
    const std::string attributes[4] = {
        spelled(values[0], style),
        spelled(values[1], static_cast<uint8_t>(style >> 1)),
        spelled(values[2], static_cast<uint8_t>(style >> 2)),
        spelled(values[3], static_cast<uint8_t>(style >> 3)),
    };
    const Rect expected(clamped(values[0]), clamped(values[1]), clamped(values[2]), clamped(values[3]));

    const std::string rectText = "<frame x=\"" + attributes[0] + "\" y=\"" + attributes[1] + "\" width=\""
        + attributes[2] + "\" height=\"" + attributes[3] + "\"/>";
    check(Rect(rectText) == expected);
    check(Point(rectText) == expected.position());
    check(Size(rectText) == expected.size());

    const std::string circleText = "<?xml version=\"1.0\"?><!-- c --><c radius='" + attributes[2] + "' centerY='"
        + attributes[1] + "' centerX='" + attributes[0] + "'><x x=\"1\"/></c>";
    const Circle circle(circleText);
    check(circle.center == expected.position() && circle.radius == expected.w);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    checkText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (size >= 4 * sizeof(int64_t) + 1)
        checkSpelledNumbers(data);
    return 0;
}
