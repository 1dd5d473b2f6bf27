#include "Math/Circle.h"

#include <pugixml.hpp>

#include <ostream>
#include <string>

namespace {

// |a - b| of two 32-bit coordinates: at most 2^32 - 1, so its square fits in 64 unsigned bits.
uint64_t distanceOnAxis(int32_t a, int32_t b)
{
    const int64_t d = int64_t{a} - b;
    return static_cast<uint64_t>(d < 0 ? -d : d);
}

} // namespace

Circle::Circle(std::string_view xmlText)
{
    pugi::xml_document document;
    document.load_string(std::string(xmlText).c_str());
    *this = fromXml(document.document_element());
}

Circle Circle::fromXml(const pugi::xml_node& element)
{
    return {{element.attribute("centerX").as_int(), element.attribute("centerY").as_int()},
        element.attribute("radius").as_int()};
}

// The circles overlap when the sum of the radii exceeds the centre distance, strictly:
// reach > sqrt(dx² + dy²), tested exactly as reach² > dx² + dy² in 64-bit integers so that
// circles any distance apart give the right answer and nothing overflows.
bool Circle::intersects(const Circle& other) const
{
    const int64_t reach = int64_t{radius} + other.radius;
    if (reach <= 0)
        return false;
    const uint64_t reachSquared = static_cast<uint64_t>(reach) * static_cast<uint64_t>(reach);
    const uint64_t dx = distanceOnAxis(center.x, other.center.x);
    const uint64_t dy = distanceOnAxis(center.y, other.center.y);
    const uint64_t dxSquared = dx * dx;
    if (dxSquared >= reachSquared)
        return false;
    // dx² + dy² < reach² without forming the sum, which may exceed 64 bits.
    return dy * dy < reachSquared - dxSquared;
}

bool Circle::contains(Point p) const { return intersects(Circle(p, 0)); }

std::ostream& operator<<(std::ostream& out, const Circle& c)
{
    return out << "(center:" << c.center << " r:" << c.radius << ")";
}
