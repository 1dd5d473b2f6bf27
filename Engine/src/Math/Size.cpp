#include "Math/Size.h"

#include <pugixml.hpp>

#include <ostream>
#include <string>

Size::Size(std::string_view xmlText)
{
    pugi::xml_document document;
    document.load_string(std::string(xmlText).c_str());
    *this = fromXml(document.document_element());
}

Size Size::fromXml(const pugi::xml_node& element)
{
    return {element.attribute("width").as_int(), element.attribute("height").as_int()};
}

std::ostream& operator<<(std::ostream& out, const Size& s) { return out << "(w:" << s.w << " h:" << s.h << ")"; }
