// Colours: the named table, colour text of the animation files and SDL pixel values.
#include "Graphics/Color.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <memory>
#include <sstream>

namespace {

constexpr Color kEmpty(0, 0, 0, 0);

std::string printed(const Color& c)
{
    std::ostringstream out;
    out << c;
    return out.str();
}

using PixelFormat = std::unique_ptr<SDL_PixelFormat, decltype(&SDL_FreeFormat)>;

PixelFormat allocFormat(uint32_t format) { return PixelFormat(SDL_AllocFormat(format), &SDL_FreeFormat); }

} // namespace

TEST(Color, DefaultIsEmpty)
{
    EXPECT_EQ(Color(), kEmpty);
    EXPECT_TRUE(Color().isEmpty());
    EXPECT_FALSE(Color(0, 0, 0, 1).isEmpty());
    EXPECT_FALSE(Color(1, 0, 0, 0).isEmpty());
}

TEST(Color, NamedTable)
{
    EXPECT_EQ(Color(NamedColor::WHITE, 255), Color(255, 255, 255, 255));
    EXPECT_EQ(Color(NamedColor::BLACK, 255), Color(0, 0, 0, 255));
    EXPECT_EQ(Color(NamedColor::GRAY, 10), Color(128, 128, 128, 10));
    EXPECT_EQ(Color(NamedColor::LIGHT_GRAY, 255), Color(192, 192, 192, 255));
    EXPECT_EQ(Color(NamedColor::DARK_GREEN, 255), Color(0, 153, 0, 255));
    EXPECT_EQ(Color(NamedColor::DARK_RED, 255), Color(153, 0, 0, 255));
    EXPECT_EQ(Color(NamedColor::GOLD, Color::opaqueAlpha()), Color(255, 218, 0, 255));
    EXPECT_EQ(Color(NamedColor::MAGENTA, 0), Color(255, 0, 255, 0));
    EXPECT_EQ(Color(NamedColor::EMPTY, 255), kEmpty) << "EMPTY stays empty whatever the alpha";
    EXPECT_TRUE(Color(NamedColor::EMPTY, 255).isEmpty());
}

TEST(ColorText, NamesInAnyCase)
{
    EXPECT_EQ(Color(std::string("red")), Color(255, 0, 0, 255));
    EXPECT_EQ(Color(std::string("Red")), Color(255, 0, 0, 255));
    EXPECT_EQ(Color(std::string("RED")), Color(255, 0, 0, 255));
    EXPECT_EQ(Color(std::string("white")), Color(255, 255, 255, 255));
    EXPECT_EQ(Color(std::string("Black")), Color(0, 0, 0, 255));
    EXPECT_EQ(Color(std::string("green")), Color(0, 255, 0, 255));
    EXPECT_EQ(Color(std::string("blue")), Color(0, 0, 255, 255));
    EXPECT_EQ(Color(std::string("yellow")), Color(255, 255, 0, 255));
    EXPECT_EQ(Color(std::string("cyan")), Color(0, 255, 255, 255));
    EXPECT_EQ(Color(std::string("MaGeNtA")), Color(255, 0, 255, 255));
    EXPECT_EQ(Color(std::string("gray")), Color(128, 128, 128, 255));
}

TEST(ColorText, HexadecimalForms)
{
    EXPECT_EQ(Color(std::string("#ff00FF")), Color(255, 0, 255, 255));
    EXPECT_EQ(Color(std::string("#102030")), Color(16, 32, 48, 255));
    EXPECT_EQ(Color(std::string("#80ff0000")), Color(255, 0, 0, 128)) << "alpha comes first";
    EXPECT_EQ(Color(std::string("#00aAbBcC")), Color(170, 187, 204, 0));
}

TEST(ColorText, EverythingElseIsEmpty)
{
    for (const char* text : {"", "EMPTY", "empty", "#ff00f", "#ff00ff0", "#ff00ff000", "ff00ff00", "ff00ff", "#gg0000",
             "#12345z", "#80ff00 0", " RED", "RED ", "#ff00ff ", "LIGHT_GRAY", "light_gray", "DARK_GREEN", "DARK_RED",
             "GOLD", "orange", "#", "0x80ff0000", "#+f00ff"}) {
        const Color c{std::string(text)};
        EXPECT_EQ(c, kEmpty) << '"' << text << '"';
        EXPECT_TRUE(c.isEmpty()) << '"' << text << '"';
    }
}

TEST(Color, TransparencyThreshold)
{
    EXPECT_TRUE(Color(9, 9, 9, 0).isTransparent(0));
    EXPECT_FALSE(Color(9, 9, 9, 1).isTransparent(0));
    EXPECT_TRUE(Color(9, 9, 9, 100).isTransparent(100));
    EXPECT_FALSE(Color(9, 9, 9, 101).isTransparent(100));
    EXPECT_TRUE(Color(9, 9, 9, 255).isTransparent(255));
}

TEST(Color, StreamFormatEndsWithABlank)
{
    EXPECT_EQ(printed(Color(255, 0, 128, 255)), "(r:255 g:0 b:128 a:255 #ff0080) ");
    EXPECT_EQ(printed(Color()), "(r:0 g:0 b:0 a:0 #000000) ");
    EXPECT_EQ(printed(Color(10, 171, 5, 7)), "(r:10 g:171 b:5 a:7 #0aab05) ");
}

TEST(Color, PixelRoundTripThroughSdlFormats)
{
    const PixelFormat argb = allocFormat(SDL_PIXELFORMAT_ARGB8888);
    ASSERT_NE(argb, nullptr) << SDL_GetError();
    const Color c(255, 0, 128, 200);
    EXPECT_EQ(c.map(argb.get()), 0xC8FF0080u);
    EXPECT_EQ(Color(0xC8FF0080u, argb.get()), c);

    const PixelFormat rgba = allocFormat(SDL_PIXELFORMAT_RGBA8888);
    ASSERT_NE(rgba, nullptr) << SDL_GetError();
    EXPECT_EQ(c.map(rgba.get()), 0xFF0080C8u);
    for (const Color color : {Color(NamedColor::GOLD, 255), Color(1, 2, 3, 4), Color()})
        EXPECT_EQ(Color(color.map(rgba.get()), rgba.get()), color);

    // Without an alpha channel SDL reads every pixel back as opaque.
    const PixelFormat rgb = allocFormat(SDL_PIXELFORMAT_RGB888);
    ASSERT_NE(rgb, nullptr) << SDL_GetError();
    EXPECT_EQ(Color(Color(10, 20, 30, 40).map(rgb.get()), rgb.get()), Color(10, 20, 30, 255));
}
