// The renderer's primitives and texture copies, checked by reading the drawn pixels back.
#include "Core/Core.h"
#include "Graphics/Renderer.h"
#include "Graphics/Texture.h"
#include "support/Headless.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>

namespace {

using Pixel = std::pair<int, int>;
using PixelSet = std::set<Pixel>;

const Color kBlack{0, 0, 0, 255};
const Color kWhite{255, 255, 255, 255};
const Color kRed{255, 0, 0, 255};
const Color kGreen{0, 255, 0, 255};
const Color kBlue{0, 0, 255, 255};
const Color kYellow{255, 255, 0, 255};

constexpr int kTargetSide = 64;

class RendererTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        startHeadlessCore();
        target_ = Texture(Size{kTargetSide, kTargetSide});
        renderer().setTarget(target_.handle());
        renderer().clear(kBlack);
    }
    void TearDown() override { renderer().setTarget(nullptr); }

    static Renderer& renderer() { return Core::instance().renderer(); }

    // Every pixel of the target that is no longer black.
    static PixelSet litPixels()
    {
        const Image image = renderer().readPixels();
        PixelSet lit;
        for (int y = 0; y < image.size.h; ++y)
            for (int x = 0; x < image.size.w; ++x)
                if (image.pixel(x, y) != kBlack)
                    lit.insert({x, y});
        return lit;
    }

    static Color drawColor()
    {
        Color c;
        SDL_GetRenderDrawColor(renderer().handle(), &c.r, &c.g, &c.b, &c.a);
        return c;
    }

    // A 4 x 4 target texture with four coloured 2 x 2 quadrants: red, green / blue, yellow.
    static Texture quadrants()
    {
        Texture texture(Size{4, 4});
        SDL_Texture* previous = renderer().target();
        renderer().setTarget(texture.handle());
        renderer().fillRect({0, 0, 2, 2}, kRed);
        renderer().fillRect({2, 0, 2, 2}, kGreen);
        renderer().fillRect({0, 2, 2, 2}, kBlue);
        renderer().fillRect({2, 2, 2, 2}, kYellow);
        renderer().setTarget(previous);
        return texture;
    }

    Texture target_;
};

// Pixels of the set relative to a centre, so that shapes can be compared wherever they were drawn.
PixelSet relativeTo(const PixelSet& pixels, Pixel centre)
{
    PixelSet relative;
    for (const auto& [x, y] : pixels)
        relative.insert({x - centre.first, y - centre.second});
    return relative;
}

bool isMirrored(const PixelSet& relative, bool swapAxes)
{
    for (const auto& [x, y] : relative) {
        if (!relative.contains({-x, y}) || !relative.contains({x, -y}))
            return false;
        if (swapAxes && !relative.contains({y, x}))
            return false;
    }
    return true;
}

// The filled shape of an outline: in each row, everything between its leftmost and rightmost pixel.
PixelSet rowSpans(const PixelSet& outline)
{
    std::map<int, std::pair<int, int>> rows;
    for (const auto& [x, y] : outline) {
        auto [it, added] = rows.try_emplace(y, x, x);
        it->second.first = std::min(it->second.first, x);
        it->second.second = std::max(it->second.second, x);
    }
    PixelSet filled;
    for (const auto& [y, span] : rows)
        for (int x = span.first; x <= span.second; ++x)
            filled.insert({x, y});
    return filled;
}

TEST_F(RendererTest, CircleOfRadiusOneIsFourPixels)
{
    renderer().drawCircle({{10, 10}, 1}, kWhite);
    EXPECT_EQ(litPixels(), (PixelSet{{11, 10}, {10, 11}, {9, 10}, {10, 9}}));
}

TEST_F(RendererTest, CircleOfRadiusThreeHasTwelvePixels)
{
    renderer().drawCircle({{20, 20}, 3}, kWhite);
    const PixelSet expected{{3, 0},  {-3, 0},  {0, 3}, {0, -3}, {2, 1},  {2, -1},
                            {-2, 1}, {-2, -1}, {1, 2}, {1, -2}, {-1, 2}, {-1, -2}};
    EXPECT_EQ(relativeTo(litPixels(), {20, 20}), expected);
}

TEST_F(RendererTest, LargeCircleIsASymmetricRingOfItsRadius)
{
    const int radius = 25;
    renderer().drawCircle({{32, 32}, radius}, kWhite);
    const PixelSet ring = relativeTo(litPixels(), {32, 32});
    EXPECT_TRUE(isMirrored(ring, true));
    for (const Pixel& extreme : {Pixel{radius, 0}, Pixel{-radius, 0}, Pixel{0, radius}, Pixel{0, -radius}})
        EXPECT_TRUE(ring.contains(extreme));
    for (const auto& [x, y] : ring)
        EXPECT_NEAR(std::hypot(x, y), radius, 1.0) << x << "," << y;
    // One pixel per step of the octant's long axis: about 2 * sqrt(2) * r pixels around, never doubled up.
    EXPECT_NEAR(static_cast<double>(ring.size()), 4 * std::sqrt(2.0) * radius, 8.0);
}

TEST_F(RendererTest, FilledCircleFillsEachRowOfItsOutline)
{
    for (const int radius : {1, 3, 10, 25}) {
        renderer().clear(kBlack);
        renderer().drawCircle({{32, 32}, radius}, kWhite);
        const PixelSet outline = litPixels();
        renderer().clear(kBlack);
        renderer().fillCircle({{32, 32}, radius}, kWhite);
        EXPECT_EQ(litPixels(), rowSpans(outline)) << "radius " << radius;
    }
}

TEST_F(RendererTest, CircleOfNoRadiusDrawsNothing)
{
    renderer().drawCircle({{10, 10}, 0}, kWhite);
    renderer().fillCircle({{10, 10}, -3}, kWhite);
    EXPECT_TRUE(litPixels().empty());
}

TEST_F(RendererTest, EllipseIsSymmetricAndBoundedByItsRadii)
{
    const int a = 20;
    const int b = 9;
    renderer().drawEllipse({32, 32}, {a, b}, kWhite);
    const PixelSet outline = relativeTo(litPixels(), {32, 32});
    EXPECT_TRUE(isMirrored(outline, false));
    for (const Pixel& extreme : {Pixel{a, 0}, Pixel{-a, 0}, Pixel{0, b}, Pixel{0, -b}})
        EXPECT_TRUE(outline.contains(extreme));
    for (const auto& [x, y] : outline) {
        EXPECT_LE(std::abs(x), a);
        EXPECT_LE(std::abs(y), b);
        // Within a pixel of the true ellipse, measured along the normal (value / gradient length).
        const double value = double(x) * x / (a * a) + double(y) * y / (b * b) - 1.0;
        const double gradient = std::hypot(2.0 * x / (a * a), 2.0 * y / (b * b));
        EXPECT_LE(std::abs(value) / gradient, 1.0) << x << "," << y;
    }
}

TEST_F(RendererTest, FilledEllipseFillsEachRowOfItsOutline)
{
    for (const Size radii : {Size{1, 1}, Size{5, 2}, Size{20, 9}, Size{7, 30}}) {
        renderer().clear(kBlack);
        renderer().drawEllipse({32, 32}, radii, kWhite);
        const PixelSet outline = litPixels();
        renderer().clear(kBlack);
        renderer().fillEllipse({32, 32}, radii, kWhite);
        EXPECT_EQ(litPixels(), rowSpans(outline)) << radii.w << "x" << radii.h;
    }
}

TEST_F(RendererTest, HugeFilledEllipseKeepsItsTopWhereTheRadiusSays)
{
    // Radii whose midpoint terms pass 2^31: the top of the disc is still exactly 1500 pixels above the
    // centre, so only the rows from 32 down are covered.
    renderer().fillEllipse({32, 32 + 1500}, {1500, 1500}, kWhite);
    const Image image = renderer().readPixels();
    for (int x = 0; x < kTargetSide; ++x) {
        EXPECT_EQ(image.pixel(x, 31), kBlack) << x;
        EXPECT_EQ(image.pixel(x, 32), kWhite) << x;
        EXPECT_EQ(image.pixel(x, 63), kWhite) << x;
    }
}

TEST_F(RendererTest, EllipseWithAZeroRadiusDrawsNothing)
{
    renderer().drawEllipse({10, 10}, {0, 5}, kWhite);
    renderer().fillEllipse({10, 10}, {5, 0}, kWhite);
    EXPECT_TRUE(litPixels().empty());
}

TEST_F(RendererTest, LinesRectsAndPointsCoverTheirPixels)
{
    renderer().drawLine({2, 2}, {6, 2}, kWhite);
    EXPECT_EQ(litPixels(), (PixelSet{{2, 2}, {3, 2}, {4, 2}, {5, 2}, {6, 2}}));

    renderer().clear(kBlack);
    renderer().drawRect({10, 10, 3, 3}, kWhite);
    EXPECT_EQ(litPixels(), (PixelSet{{10, 10}, {11, 10}, {12, 10}, {10, 11}, {12, 11}, {10, 12}, {11, 12}, {12, 12}}));

    renderer().clear(kBlack);
    renderer().fillRect({10, 10, 3, 2}, kWhite);
    EXPECT_EQ(litPixels(), (PixelSet{{10, 10}, {11, 10}, {12, 10}, {10, 11}, {11, 11}, {12, 11}}));

    renderer().clear(kBlack);
    renderer().fillRects({{0, 0, 1, 1}, {5, 5, 2, 1}}, kWhite);
    renderer().drawPoints({{20, 20}, {21, 22}}, kWhite);
    renderer().drawPoint({30, 31}, kWhite);
    EXPECT_EQ(litPixels(), (PixelSet{{0, 0}, {5, 5}, {6, 5}, {20, 20}, {21, 22}, {30, 31}}));

    renderer().clear(kBlack);
    renderer().drawRects({{0, 0, 2, 2}, {10, 10, 1, 1}}, kWhite);
    EXPECT_EQ(litPixels(), (PixelSet{{0, 0}, {1, 0}, {0, 1}, {1, 1}, {10, 10}}));
}

TEST_F(RendererTest, PolygonClosesWhatThePolylineLeavesOpen)
{
    const std::vector<Point> corners{{10, 10}, {20, 10}, {20, 20}};
    renderer().drawLines(corners, kWhite);
    const PixelSet open = litPixels();
    EXPECT_TRUE(open.contains({15, 10}));
    EXPECT_TRUE(open.contains({20, 15}));
    EXPECT_FALSE(open.contains({15, 15}));

    renderer().clear(kBlack);
    renderer().drawPolygon(corners, kWhite);
    const PixelSet closed = litPixels();
    EXPECT_TRUE(closed.contains({15, 15}));
    EXPECT_TRUE(std::includes(closed.begin(), closed.end(), open.begin(), open.end()));
}

TEST_F(RendererTest, ShapesLeaveTheirColourSetAndCopiesLeaveItAlone)
{
    const Texture texture = quadrants();
    renderer().fillCircle({{10, 10}, 3}, {1, 2, 3, 4});
    EXPECT_EQ(drawColor(), (Color{1, 2, 3, 4}));
    renderer().copy(texture, {0, 0, 4, 4});
    EXPECT_EQ(drawColor(), (Color{1, 2, 3, 4}));
}

TEST_F(RendererTest, EmptyListsDrawNothingAndKeepTheDrawColour)
{
    renderer().setDrawColor({9, 8, 7, 255});
    renderer().drawRects({}, kWhite);
    renderer().fillRects({}, kWhite);
    renderer().drawPoints({}, kWhite);
    renderer().drawLines({}, kWhite);
    renderer().drawPolygon({}, kWhite);
    renderer().fillPolygonGL({}, kWhite);
    EXPECT_EQ(drawColor(), (Color{9, 8, 7, 255}));
    EXPECT_TRUE(litPixels().empty());
}

TEST_F(RendererTest, OpenGlPolygonLeavesTheRendererUsable)
{
    // What the polygon itself looks like depends on OpenGL's state; SDL's drawing must go on unharmed.
    renderer().drawPoint({1, 1}, kRed);
    renderer().fillPolygonGL({{10, 10}, {40, 10}, {25, 40}}, kWhite);
    renderer().drawPoint({2, 2}, kGreen);
    const Image image = renderer().readPixels(Rect{0, 0, 3, 3});
    EXPECT_EQ(image.pixel(1, 1), kRed);
    EXPECT_EQ(image.pixel(2, 2), kGreen);
    EXPECT_EQ(image.pixel(0, 0), kBlack);
}

TEST_F(RendererTest, CopyStretchesTheWholeTextureOrOnlyTheSourcePart)
{
    const Texture texture = quadrants();
    renderer().copy(texture, {0, 0, 8, 8});
    Image image = renderer().readPixels(Rect{0, 0, 8, 8});
    EXPECT_EQ(image.pixel(0, 0), kRed);
    EXPECT_EQ(image.pixel(3, 3), kRed);
    EXPECT_EQ(image.pixel(7, 0), kGreen);
    EXPECT_EQ(image.pixel(0, 7), kBlue);
    EXPECT_EQ(image.pixel(7, 7), kYellow);

    renderer().clear(kBlack);
    renderer().copy(texture, {0, 0, 8, 8}, Rect{2, 2, 2, 2});
    image = renderer().readPixels(Rect{0, 0, 8, 8});
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(image.pixel(x, y), kYellow) << x << "," << y;
}

TEST_F(RendererTest, CopyExWithoutTurnOrFlipEqualsCopy)
{
    const Texture texture = quadrants();
    renderer().copy(texture, {3, 5, 12, 8}, Rect{0, 0, 4, 2});
    const Image copied = renderer().readPixels();
    renderer().clear(kBlack);
    renderer().copyEx(texture, {3, 5, 12, 8}, Rect{0, 0, 4, 2}, 0.0, SDL_FLIP_NONE);
    EXPECT_EQ(renderer().readPixels().pixels, copied.pixels);
}

TEST_F(RendererTest, CopyExFlipsAndTurns)
{
    const Texture texture = quadrants();
    renderer().copyEx(texture, {0, 0, 4, 4}, std::nullopt, 0.0, SDL_FLIP_HORIZONTAL);
    Image image = renderer().readPixels(Rect{0, 0, 4, 4});
    EXPECT_EQ(image.pixel(0, 0), kGreen);
    EXPECT_EQ(image.pixel(3, 3), kBlue);

    // A quarter turn clockwise about the middle: the red top-left quadrant goes to the top right.
    renderer().clear(kBlack);
    renderer().copyEx(texture, {0, 0, 4, 4}, std::nullopt, 90.0, SDL_FLIP_NONE);
    image = renderer().readPixels(Rect{0, 0, 4, 4});
    EXPECT_EQ(image.pixel(3, 0), kRed);
    EXPECT_EQ(image.pixel(0, 0), kBlue);
}

TEST_F(RendererTest, ReadPixelsCoversTheCurrentTargetOrTheGivenArea)
{
    renderer().drawPoint({5, 6}, kRed);
    EXPECT_EQ(renderer().outputSize(), (Size{kTargetSide, kTargetSide}));
    const Image whole = renderer().readPixels();
    EXPECT_EQ(whole.size, (Size{kTargetSide, kTargetSide}));
    EXPECT_EQ(whole.pixels.size(), size_t{kTargetSide * kTargetSide});
    EXPECT_EQ(whole.pixel(5, 6), kRed);
    // Outside the picture there is no colour at all.
    EXPECT_EQ(whole.pixel(-1, 0), Color());
    EXPECT_EQ(whole.pixel(0, kTargetSide), Color());

    const Image part = renderer().readPixels(Rect{5, 6, 2, 1});
    EXPECT_EQ(part.size, (Size{2, 1}));
    EXPECT_EQ(part.pixel(0, 0), kRed);
    EXPECT_EQ(part.pixel(1, 0), kBlack);
}

TEST_F(RendererTest, ImageSavesAsPng)
{
    renderer().fillRect({0, 0, 2, 1}, {10, 200, 30, 255});
    const Image image = renderer().readPixels(Rect{0, 0, 3, 2});
    const std::string path = scratchDirectory("renderer_png") + "/frame.png";
    ASSERT_TRUE(image.savePng(path));

    SDL_Surface* loaded = IMG_Load(path.c_str());
    ASSERT_NE(loaded, nullptr);
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    EXPECT_EQ(argb->w, 3);
    EXPECT_EQ(argb->h, 2);
    const auto* row = static_cast<const uint32_t*>(argb->pixels);
    EXPECT_EQ(row[0], 0xFF0AC81Eu);
    EXPECT_EQ(row[2], 0xFF000000u);
    SDL_FreeSurface(argb);
    SDL_FreeSurface(loaded);

    EXPECT_FALSE(Image{}.savePng(path));
    EXPECT_FALSE(image.savePng(scratchDirectory("renderer_png") + "/no/such/dir/frame.png"));
}

TEST_F(RendererTest, HeadlessRendererIsOpenGl) { EXPECT_EQ(renderer().name(), "opengl"); }

} // namespace
