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

TEST(Rect, SharedEdgeIsNoHitButOnePixelOverlapAndContainmentAre)
{
    const Rect a(0, 0, 10, 10);
    const Rect inner(4, 4, 2, 2);
    EXPECT_FALSE(a.intersects(Rect(10, 0, 10, 10)));
    EXPECT_FALSE(Rect(10, 0, 10, 10).intersects(a));
    EXPECT_FALSE(a.intersects(Rect(0, 10, 10, 10)));
    EXPECT_FALSE(a.intersects(Rect(10, 10, 5, 5))) << "a shared corner only";
    EXPECT_TRUE(a.intersects(Rect(9, 9, 10, 10)));
    EXPECT_TRUE(Rect(9, 9, 10, 10).intersects(a));
    EXPECT_TRUE(a.intersects(inner));
    EXPECT_TRUE(inner.intersects(a));
    // Zero or negative size touches nothing, not even itself.
    EXPECT_FALSE(Rect().intersects(Rect()));
    EXPECT_FALSE(Rect().intersects(Rect(-10, -10, 20, 20)));
    EXPECT_FALSE(Rect(-10, -10, 20, 20).intersects(Rect()));
    EXPECT_FALSE(Rect(5, 5, 0, 10).intersects(Rect(0, 0, 20, 20)));
    EXPECT_FALSE(Rect(5, 5, -3, 10).intersects(Rect(0, 0, 20, 20)));
    // Far out at the end of the coordinate range.
    const Rect right(INT32_MAX - 5, 0, 10, 10);
    EXPECT_TRUE(right.intersects(Rect(INT32_MAX - 1, 0, 1, 1)));
    EXPECT_FALSE(right.intersects(Rect(INT32_MIN, 0, 10, 10)));
}

TEST(Rect, ContainsTakesLeftAndTopEdgesOnly)
{
    const Rect r(0, 0, 10, 10);
    EXPECT_TRUE(r.contains({0, 0}));
    EXPECT_TRUE(r.contains({9, 9}));
    EXPECT_FALSE(r.contains({10, 5}));
    EXPECT_FALSE(r.contains({5, 10}));
    EXPECT_FALSE(Rect().contains({0, 0}));
}

TEST(Rect, CentreEdgesAndMarginMoveOrResizeAsAsked)
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
}

TEST(Geometry, StreamFormats)
{
    EXPECT_EQ(printed(Point(3, -4)), "(x:3 y:-4)");
    EXPECT_EQ(printed(Size(1024, 720)), "(w:1024 h:720)");
    EXPECT_EQ(printed(Rect(1, 2, 3, 4)), "(x:1 y:2 w:3 h:4)");
    EXPECT_EQ(printed(Circle({3, 4}, 5)), "(center:(x:3 y:4) r:5)");
}

TEST(Circle, TouchingIsNoHitAndTheRimIsOutside)
{
    const Circle a({0, 0}, 5);
    EXPECT_FALSE(a.intersects(Circle({10, 0}, 5)));
    EXPECT_TRUE(a.intersects(Circle({10, 0}, 6)));
    // 3-4-5 triangle: exactly touching on a diagonal.
    EXPECT_FALSE(Circle({0, 0}, 2).intersects(Circle({3, 4}, 3)));
    EXPECT_TRUE(Circle({0, 0}, 3).intersects(Circle({3, 4}, 3)));
    EXPECT_FALSE(Circle().intersects(Circle())) << "two points at one place: 0 > 0 is false";
    EXPECT_TRUE(a.contains({3, 3}));
    EXPECT_FALSE(a.contains({5, 0}));
    EXPECT_FALSE(a.contains({3, 4}));
}

TEST(Circle, FarApartCirclesGiveTheRightAnswerWithoutOverflow)
{
    // Centres over 32 768 apart on each axis: dx² + dy² no longer fits in 32 bits.
    EXPECT_FALSE(Circle({0, 0}, 10).intersects(Circle({100000, 100000}, 10)));
    EXPECT_TRUE(Circle({0, 0}, 100000).intersects(Circle({100000, 100000}, 50000)));
    EXPECT_FALSE(Circle({0, 0}, 100000).intersects(Circle({100000, 100000}, 40000)));
    // Opposite ends of the coordinate range: the squares alone exceed 63 bits.
    const Circle corner({INT32_MIN, INT32_MIN}, INT32_MAX);
    const Circle farCorner({INT32_MAX, INT32_MAX}, INT32_MAX);
    EXPECT_FALSE(corner.intersects(farCorner));
    EXPECT_FALSE(farCorner.intersects(corner));
    // Radii summing to 2^32 - 2 against centre distances of 2^32 - 3, - 2 (touching) and - 1.
    const Circle leftEnd({INT32_MIN, 0}, INT32_MAX);
    EXPECT_TRUE(leftEnd.intersects(Circle({INT32_MAX - 2, 0}, INT32_MAX)));
    EXPECT_FALSE(leftEnd.intersects(Circle({INT32_MAX - 1, 0}, INT32_MAX)));
    EXPECT_FALSE(leftEnd.intersects(Circle({INT32_MAX, 0}, INT32_MAX)));
    EXPECT_FALSE(Circle({0, 0}, -5).intersects(Circle({0, 0}, 4))) << "a negative radius reaches nowhere";
}

TEST(XmlText, TheFirstElementWithMissingHexadecimalAndUnreadableAttributes)
{
    EXPECT_EQ(Rect(R"(<frame x="1" y="2" width="30" height="40"/>)"), Rect(1, 2, 30, 40));
    EXPECT_EQ(Rect(R"(<?xml version="1.0"?><!-- sheet --><a x="5"/><b x="9"/>)"), Rect(5, 0, 0, 0));
    EXPECT_EQ(Rect(R"(<frame x="0x10" y="0X1f" width=" 12" height="abc"/>)"), Rect(16, 31, 12, 0));
    EXPECT_EQ(Point(R"(<p x="-3" y="7"/>)"), Point(-3, 7));
    EXPECT_EQ(Point(R"(<p x="99999999999"/>)"), Point(INT32_MAX, 0)) << "clamped to 32 bits";
    EXPECT_EQ(Size(R"(<s width="64" height="48"/>)"), Size(64, 48));
    EXPECT_EQ(Size(R"(<s w="5" h="6"/>)"), Size()) << "the names are width and height";
    EXPECT_EQ(Circle(R"(<c centerX="10" centerY="20" radius="0x5"/>)"), Circle({10, 20}, 5));
    // No element at all reads as zeros.
    EXPECT_EQ(Rect("just text"), Rect());
    EXPECT_EQ(Size("<<<"), Size());
    EXPECT_EQ(Circle("<?xml version=\"1.0\"?>"), Circle());

    pugi::xml_document document;
    document.load_string(R"(<sheet><animation><f x="1" y="2" width="3" height="4"/></animation></sheet>)");
    EXPECT_EQ(Rect::fromXml(document.child("sheet").child("animation").first_child()), Rect(1, 2, 3, 4));
    EXPECT_EQ(Rect::fromXml(pugi::xml_node()), Rect()) << "a missing node reads as zeros";
}
