// The renderer's primitives and copies, textures and sprites, checked by reading the drawn pixels back.
#include "Core/Core.h"
#include "Graphics/Renderer.h"
#include "Graphics/Sprite.h"
#include "Graphics/Surface.h"
#include "Graphics/Texture.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

namespace {

using PixelSet = std::set<std::pair<int, int>>;
using Colors = std::vector<Color>;
const Color kBlack{0, 0, 0, 255}, kWhite{255, 255, 255, 255}, kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255},
    kBlue{0, 0, 255, 255}, kYellow{255, 255, 0, 255};

Renderer& renderer() { return Core::instance().renderer(); }

// Every pixel of the 64 x 64 target that is no longer black, relative to a centre.
PixelSet litPixels(int cx = 0, int cy = 0)
{
    const Image image = renderer().readPixels();
    PixelSet lit;
    for (int y = 0; y < image.size.h; ++y)
        for (int x = 0; x < image.size.w; ++x)
            if (image.pixel(x, y) != kBlack)
                lit.insert({x - cx, y - cy});
    return lit;
}

// The colours of one row of the drawn area.
Colors row(const Rect& area, int y)
{
    const Image image = renderer().readPixels(area);
    Colors colors;
    for (int x = 0; x < image.size.w; ++x)
        colors.push_back(image.pixel(x, y));
    return colors;
}

// A 4 x 4 texture with four coloured 2 x 2 quadrants: red, green / blue, yellow.
Texture quadrants()
{
    Surface surface(Size(4, 4));
    const Color colors[4] = {kRed, kGreen, kBlue, kYellow};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            surface.setPixel(colors[(y / 2) * 2 + x / 2], {x, y});
    return Texture(surface);
}

class RendererTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        startHeadlessCore();
        target_ = Texture(Size{64, 64});
        renderer().setTarget(target_.handle());
        renderer().clear(kBlack);
    }
    void TearDown() override { renderer().setTarget(nullptr); }

    Texture target_;
};

TEST_F(RendererTest, CirclesAndEllipsesArePixelExactSymmetricAndFilledRowByRow)
{
    renderer().drawCircle({{10, 10}, 1}, kWhite);
    EXPECT_EQ(litPixels(10, 10), (PixelSet{{1, 0}, {0, 1}, {-1, 0}, {0, -1}}));
    renderer().clear(kBlack);
    renderer().drawCircle({{20, 20}, 3}, kWhite);
    EXPECT_EQ(litPixels(20, 20),
        (PixelSet{
            {3, 0}, {-3, 0}, {0, 3}, {0, -3}, {2, 1}, {2, -1}, {-2, 1}, {-2, -1}, {1, 2}, {1, -2}, {-1, 2}, {-1, -2}}));
    renderer().clear(kBlack);
    renderer().drawCircle({{10, 10}, 0}, kWhite);
    renderer().fillCircle({{10, 10}, -3}, kWhite);
    renderer().drawEllipse({10, 10}, {0, 5}, kWhite);
    renderer().fillEllipse({10, 10}, {5, 0}, kWhite);
    EXPECT_TRUE(litPixels().empty()) << "no radius draws nothing";

    for (const Size radii : {Size{1, 1}, Size{3, 3}, Size{25, 25}, Size{5, 2}, Size{20, 9}, Size{7, 30}}) {
        SCOPED_TRACE(std::to_string(radii.w) + "x" + std::to_string(radii.h));
        const bool circle = radii.w == radii.h;
        renderer().clear(kBlack);
        circle ? renderer().drawCircle({{32, 32}, radii.w}, kWhite) : renderer().drawEllipse({32, 32}, radii, kWhite);
        const PixelSet outline = litPixels(32, 32);
        const double a = radii.w, b = radii.h;
        for (const auto& [x, y] : outline) {
            EXPECT_TRUE(outline.contains({-x, y}) && outline.contains({x, -y})) << x << "," << y;
            EXPECT_TRUE(!circle || outline.contains({y, x})) << x << "," << y;
            // Within a pixel of the true curve, measured along the normal: value / gradient length.
            const double value = x * x / (a * a) + y * y / (b * b) - 1.0;
            EXPECT_LE(std::abs(value) / std::hypot(2.0 * x / (a * a), 2.0 * y / (b * b)), 1.0) << x << "," << y;
        }
        EXPECT_TRUE(outline.contains({radii.w, 0}) && outline.contains({0, -radii.h}));
        if (radii.w == 25) // one pixel per step of the octant's long axis, never doubled up
            EXPECT_NEAR(static_cast<double>(outline.size()), 4 * std::sqrt(2.0) * 25, 8.0);
        // Filled, each row holds everything between its outline's leftmost and rightmost pixel.
        std::map<int, std::pair<int, int>> spans;
        for (const auto& [x, y] : outline) {
            auto [it, added] = spans.try_emplace(y, x, x);
            it->second = {std::min(it->second.first, x), std::max(it->second.second, x)};
        }
        PixelSet filled;
        for (const auto& [y, span] : spans)
            for (int x = span.first; x <= span.second; ++x)
                filled.insert({x, y});
        renderer().clear(kBlack);
        circle ? renderer().fillCircle({{32, 32}, radii.w}, kWhite) : renderer().fillEllipse({32, 32}, radii, kWhite);
        EXPECT_EQ(litPixels(32, 32), filled);
    }
    // Radii whose midpoint terms pass 2^31: the top of the disc is still exactly 1500 pixels above the centre.
    renderer().clear(kBlack);
    renderer().fillEllipse({32, 32 + 1500}, {1500, 1500}, kWhite);
    EXPECT_EQ(row({0, 31, 64, 1}, 0), Colors(64, kBlack));
    EXPECT_EQ(row({0, 32, 64, 1}, 0), Colors(64, kWhite));
}

TEST_F(RendererTest, LinesRectsPointsAndPolygonsCoverTheirPixelsAndEmptyListsNothing)
{
    renderer().setDrawColor({9, 8, 7, 255});
    renderer().drawRects({}, kWhite);
    renderer().fillRects({}, kWhite);
    renderer().drawPoints({}, kWhite);
    renderer().drawLines({}, kWhite);
    renderer().drawPolygon({}, kWhite);
    renderer().fillPolygonGL({}, kWhite);
    Color color;
    SDL_GetRenderDrawColor(renderer().handle(), &color.r, &color.g, &color.b, &color.a);
    EXPECT_EQ(color, (Color{9, 8, 7, 255})) << "empty lists issue nothing";
    EXPECT_TRUE(litPixels().empty());

    renderer().drawLine({2, 2}, {4, 2}, kWhite);
    renderer().drawRect({10, 10, 3, 3}, kWhite);
    renderer().fillRects({{0, 0, 1, 1}, {5, 5, 2, 1}}, kWhite);
    renderer().drawPoints({{20, 20}, {21, 22}}, kWhite);
    renderer().drawRects({{30, 30, 1, 1}}, kWhite);
    EXPECT_EQ(litPixels(),
        (PixelSet{{2, 2}, {3, 2}, {4, 2}, {10, 10}, {11, 10}, {12, 10}, {10, 11}, {12, 11}, {10, 12}, {11, 12},
            {12, 12}, {0, 0}, {5, 5}, {6, 5}, {20, 20}, {21, 22}, {30, 30}}));
    renderer().clear(kBlack);
    const std::vector<Point> corners{{10, 10}, {20, 10}, {20, 20}};
    renderer().drawLines(corners, kWhite);
    EXPECT_FALSE(litPixels().contains({15, 15})) << "a polyline stays open";
    renderer().drawPolygon(corners, kWhite);
    EXPECT_TRUE(litPixels().contains({15, 15})) << "a polygon closes";
}

TEST_F(RendererTest, CopyStretchesTheWholeTextureOrTheSourcePartTurnsAndFlips)
{
    const Texture texture = quadrants();
    renderer().copy(texture, {0, 0, 8, 8});
    EXPECT_EQ(row(Rect{0, 0, 8, 8}, 3), (Colors{kRed, kRed, kRed, kRed, kGreen, kGreen, kGreen, kGreen}));
    EXPECT_EQ(row(Rect{0, 0, 8, 8}, 7), (Colors{kBlue, kBlue, kBlue, kBlue, kYellow, kYellow, kYellow, kYellow}));
    renderer().copy(texture, {0, 0, 8, 8}, Rect{2, 2, 2, 2});
    EXPECT_EQ(row(Rect{0, 0, 8, 8}, 0), Colors(8, kYellow));
    EXPECT_EQ(row(Rect{0, 0, 8, 8}, 7), Colors(8, kYellow));
    // A quarter turn clockwise about the middle: the red top-left quadrant goes to the top right.
    renderer().copyEx(texture, {0, 0, 4, 4}, std::nullopt, 90.0, SDL_FLIP_NONE);
    EXPECT_EQ(row(Rect{0, 0, 4, 4}, 0), (Colors{kBlue, kBlue, kRed, kRed}));
    renderer().copyEx(texture, {0, 0, 4, 4}, Rect{0, 0, 4, 4}, 0.0, SDL_FLIP_HORIZONTAL);
    EXPECT_EQ(row(Rect{0, 0, 4, 4}, 3), (Colors{kYellow, kYellow, kBlue, kBlue}));
    renderer().fillCircle({{10, 10}, 3}, {1, 2, 3, 4});
    renderer().copy(texture, {0, 0, 4, 4});
    Color color;
    SDL_GetRenderDrawColor(renderer().handle(), &color.r, &color.g, &color.b, &color.a);
    EXPECT_EQ(color, (Color{1, 2, 3, 4})) << "copies leave the draw colour";

    // Copies of a texture share its alpha and colour; an alpha out of range changes nothing.
    Texture first = quadrants();
    const Texture second = first;
    first.setAlpha(0.5f);
    first.setColorMod(10, 20, 30);
    renderer().clear(kBlack);
    renderer().copy(second, {0, 0, 4, 4});
    EXPECT_NEAR(renderer().readPixels(Rect{0, 0, 1, 1}).pixel(0, 0).r, 10 * 127 / 255, 1);
    first.setAlpha(uint8_t{200});
    first.setAlpha(1.5f);
    first.setAlpha(-0.1f);
    EXPECT_EQ(second.alpha(), 200);
    first.resetAlpha();
    EXPECT_EQ(second.alpha(), 255);
}

TEST_F(RendererTest, AnImageReadBackAndSavedAsPngLoadsAsATexture)
{
    EXPECT_EQ(renderer().name(), "opengl");
    const Color odd{10, 200, 30, 255}; // every channel different, so that no two can swap unseen
    renderer().fillRect({0, 0, 4, 4}, odd);
    renderer().fillRect({4, 0, 4, 4}, kBlue);
    EXPECT_EQ(renderer().readPixels().size, (Size{64, 64}));
    EXPECT_EQ(renderer().readPixels().pixel(-1, 0), Color()) << "outside the picture there is no colour";
    const Image image = renderer().readPixels(Rect{0, 0, 8, 4});
    const std::string dir = scratchDirectory("texture");
    ASSERT_TRUE(image.savePng(dir + "/picture.png"));
    EXPECT_FALSE(Image{}.savePng(dir + "/empty.png"));
    EXPECT_FALSE(image.savePng(dir + "/no/such/dir/frame.png"));
    const Texture texture(dir + "/picture.png");
    EXPECT_EQ(texture.size(), (Size{8, 4}));
    renderer().copy(texture, {0, 10, 8, 4});
    EXPECT_EQ(row(Rect{0, 10, 8, 4}, 3), (Colors{odd, odd, odd, odd, kBlue, kBlue, kBlue, kBlue}));
}

TEST_F(RendererTest, ASpriteTakesItsSizeFromTheClipOrTheTextureAndDrawsThatPart)
{
    Sprite sprite(quadrants(), {10, 20});
    EXPECT_EQ(sprite.rect(), Rect(10, 20, 4, 4));
    Sprite clipped(quadrants(), {30, 20}, Rect(1, 2, 2, 2));
    EXPECT_EQ(clipped.rect(), Rect(30, 20, 2, 2));
    sprite.draw();
    clipped.draw();
    EXPECT_EQ(row(Rect(10, 20, 4, 4), 3), (Colors{kBlue, kBlue, kYellow, kYellow}));
    EXPECT_EQ(row(Rect(29, 20, 4, 2), 0), (Colors{kBlack, kBlue, kYellow, kBlack}));
    // Half a turn about the middle is both flips.
    sprite.rect().setPosition({40, 40});
    sprite.drawEx(180.0, SDL_FLIP_NONE);
    EXPECT_EQ(row(Rect(40, 40, 4, 4), 0), (Colors{kYellow, kYellow, kBlue, kBlue}));
    sprite.drawFlipped(SDL_FLIP_HORIZONTAL);
    EXPECT_EQ(row(Rect(40, 40, 4, 4), 0), (Colors{kGreen, kGreen, kRed, kRed}));
    // A new texture resizes an unclipped sprite and keeps its position; a clipped one keeps its clip.
    const Texture other(Size{8, 6});
    sprite.setTexture(other);
    clipped.setTexture(other);
    EXPECT_EQ(sprite.rect(), Rect(40, 40, 8, 6));
    EXPECT_EQ(clipped.rect(), Rect(30, 20, 2, 2));
}

} // namespace
