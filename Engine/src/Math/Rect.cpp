#include "Math/Rect.h"

#include <pugixml.hpp>

#include <algorithm>
#include <ostream>
#include <string>

Rect::Rect(std::string_view xmlText)
{
    pugi::xml_document document;
    document.load_string(std::string(xmlText).c_str());
    *this = fromXml(document.document_element());
}

Rect Rect::fromXml(const pugi::xml_node& element)
{
    return {element.attribute("x").as_int(), element.attribute("y").as_int(), element.attribute("width").as_int(),
        element.attribute("height").as_int()};
}

bool Rect::contains(Point p) const { return x <= p.x && p.x < int64_t{x} + w && y <= p.y && p.y < int64_t{y} + h; }

std::ostream& operator<<(std::ostream& out, const Rect& r)
{
    return out << "(x:" << r.x << " y:" << r.y << " w:" << r.w << " h:" << r.h << ")";
}
