#include "Math/Point.h"

#include <pugixml.hpp>

#include <ostream>
#include <string>

Point::Point(std::string_view xmlText)
{
    // The document owns the element, so it has to live until the values are read.
    pugi::xml_document document;
    document.load_string(std::string(xmlText).c_str());
    *this = fromXml(document.document_element());
}

Point Point::fromXml(const pugi::xml_node& element)
{
    return {element.attribute("x").as_int(), element.attribute("y").as_int()};
}

std::ostream& operator<<(std::ostream& out, const Point& p) { return out << "(x:" << p.x << " y:" << p.y << ")"; }
