// Whole-pixel geometry: every hit in the game is one of these overlap tests.
#include "Math/Circle.h"
#include "Math/Point.h"
#include "Math/Rect.h"
#include "Math/Size.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <climits>
#include <sstream>

namespace {

template <typename T> std::string printed(const T& value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

} // namespace

// Overlaps, containment and geometry read from XML text are in the table of test_values.
TEST(Rect, CentreEdgesAndMarginMoveOrResizeAsAskedAndTheStreamFormats)
{
    Rect r(0, 0, 5, 5);
    r.setCenter({50, 50});
    EXPECT_EQ(r, Rect(48, 48, 5, 5));
    EXPECT_EQ(r.center(), Point(50, 50));
    EXPECT_EQ(Rect(0, 0, -5, 5).center(), Point(-2, 2)) << "halves round toward zero";
    r.setRight(100);
    r.setBottom(20);
    EXPECT_EQ(r, Rect(95, 15, 5, 5));
    EXPECT_EQ(Rect(Rect(10, 10, 4, 4), 2), Rect(8, 8, 8, 8));
    EXPECT_EQ(Rect(Rect(10, 10, 4, 4), -1), Rect(11, 11, 2, 2));
    EXPECT_EQ(printed(Point(3, -4)) + printed(Size(1024, 720)) + printed(Rect(1, 2, 3, 4)) + printed(Circle({3, 4}, 5)),
        "(x:3 y:-4)(w:1024 h:720)(x:1 y:2 w:3 h:4)(center:(x:3 y:4) r:5)");
    pugi::xml_document document;
    document.load_string(R"(<sheet><animation><f x="1" y="2" width="3" height="4"/></animation></sheet>)");
    EXPECT_EQ(Rect::fromXml(document.child("sheet").child("animation").first_child()), Rect(1, 2, 3, 4));
    EXPECT_EQ(Rect::fromXml(pugi::xml_node()), Rect()) << "a missing node reads as zeros";
}
