// The renderer's primitives and copies, textures and sprites, checked by reading the drawn pixels back.
#include "Core/Core.h"
#include "Graphics/Renderer.h"
#include "Graphics/Sprite.h"
#include "Graphics/Surface.h"
#include "Graphics/Texture.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>

namespace {

using Pixel = std::pair<int, int>;
using PixelSet = std::set<Pixel>;
using Colors = std::vector<Color>;

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

    // The colours of one row of the drawn area.
    static Colors row(const Rect& area, int y)
    {
        const Image image = renderer().readPixels(area);
        Colors colors;
        for (int x = 0; x < image.size.w; ++x)
            colors.push_back(image.pixel(x, y));
        return colors;
    }

    // A 4 x 4 texture with four coloured 2 x 2 quadrants: red, green / blue, yellow.
    static Texture quadrants()
    {
        Surface surface(Size(4, 4));
        const Color colors[4] = {kRed, kGreen, kBlue, kYellow};
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                surface.setPixel(colors[(y / 2) * 2 + x / 2], {x, y});
        return Texture(surface);
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
    return std::all_of(relative.begin(), relative.end(), [&](const Pixel& p) {
        return relative.contains({-p.first, p.second}) && relative.contains({p.first, -p.second})
            && (!swapAxes || relative.contains({p.second, p.first}));
    });
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

TEST_F(RendererTest, SmallCirclesArePixelExactAndNoRadiusDrawsNothing)
{
    renderer().drawCircle({{10, 10}, 1}, kWhite);
    EXPECT_EQ(litPixels(), (PixelSet{{11, 10}, {10, 11}, {9, 10}, {10, 9}}));
    renderer().clear(kBlack);
    renderer().drawCircle({{20, 20}, 3}, kWhite);
    EXPECT_EQ(relativeTo(litPixels(), {20, 20}),
        (PixelSet{
            {3, 0}, {-3, 0}, {0, 3}, {0, -3}, {2, 1}, {2, -1}, {-2, 1}, {-2, -1}, {1, 2}, {1, -2}, {-1, 2}, {-1, -2}}));
    renderer().clear(kBlack);
    renderer().drawCircle({{10, 10}, 0}, kWhite);
    renderer().fillCircle({{10, 10}, -3}, kWhite);
    renderer().drawEllipse({10, 10}, {0, 5}, kWhite);
    renderer().fillEllipse({10, 10}, {5, 0}, kWhite);
    EXPECT_TRUE(litPixels().empty());
}

TEST_F(RendererTest, LargeCircleIsASymmetricRingOfItsRadius)
{
    const int radius = 25;
    renderer().drawCircle({{32, 32}, radius}, kWhite);
    const PixelSet ring = relativeTo(litPixels(), {32, 32});
    EXPECT_TRUE(isMirrored(ring, true));
    EXPECT_TRUE(ring.contains({radius, 0}) && ring.contains({0, -radius}));
    for (const auto& [x, y] : ring)
        EXPECT_NEAR(std::hypot(x, y), radius, 1.0) << x << "," << y;
    // One pixel per step of the octant's long axis: about 2 * sqrt(2) * r pixels around, never doubled up.
    EXPECT_NEAR(static_cast<double>(ring.size()), 4 * std::sqrt(2.0) * radius, 8.0);
}

TEST_F(RendererTest, EllipseIsSymmetricAndWithinAPixelOfTheTrueCurve)
{
    const int a = 20;
    const int b = 9;
    renderer().drawEllipse({32, 32}, {a, b}, kWhite);
    const PixelSet outline = relativeTo(litPixels(), {32, 32});
    EXPECT_TRUE(isMirrored(outline, false));
    EXPECT_TRUE(outline.contains({a, 0}) && outline.contains({0, -b}));
    for (const auto& [x, y] : outline) {
        // Measured along the normal: value / gradient length.
        const double value = double(x) * x / (a * a) + double(y) * y / (b * b) - 1.0;
        const double gradient = std::hypot(2.0 * x / (a * a), 2.0 * y / (b * b));
        EXPECT_LE(std::abs(value) / gradient, 1.0) << x << "," << y;
    }
}

TEST_F(RendererTest, FilledShapesFillEachRowOfTheirOutline)
{
    for (const Size radii : {Size{1, 1}, Size{3, 3}, Size{25, 25}, Size{5, 2}, Size{20, 9}, Size{7, 30}}) {
        for (const bool circle : {true, false}) {
            if (circle && radii.w != radii.h)
                continue;
            renderer().clear(kBlack);
            circle ? renderer().drawCircle({{32, 32}, radii.w}, kWhite)
                   : renderer().drawEllipse({32, 32}, radii, kWhite);
            const PixelSet outline = litPixels();
            renderer().clear(kBlack);
            circle ? renderer().fillCircle({{32, 32}, radii.w}, kWhite)
                   : renderer().fillEllipse({32, 32}, radii, kWhite);
            EXPECT_EQ(litPixels(), rowSpans(outline)) << radii.w << "x" << radii.h << (circle ? " circle" : "");
        }
    }
    // Radii whose midpoint terms pass 2^31: the top of the disc is still exactly 1500 pixels above the centre.
    renderer().clear(kBlack);
    renderer().fillEllipse({32, 32 + 1500}, {1500, 1500}, kWhite);
    const Image image = renderer().readPixels();
    for (int x = 0; x < kTargetSide; ++x) {
        EXPECT_EQ(image.pixel(x, 31), kBlack) << x;
        EXPECT_EQ(image.pixel(x, 32), kWhite) << x;
    }
}

TEST_F(RendererTest, LinesRectsPointsAndPolygonsCoverTheirPixels)
{
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

TEST_F(RendererTest, EmptyListsIssueNothingAndCopiesLeaveTheDrawColour)
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

    renderer().fillCircle({{10, 10}, 3}, {1, 2, 3, 4});
    renderer().copy(quadrants(), {0, 0, 4, 4});
    EXPECT_EQ(drawColor(), (Color{1, 2, 3, 4}));

    // What the OpenGL polygon looks like depends on OpenGL's state; SDL's drawing must go on unharmed.
    renderer().clear(kBlack);
    renderer().fillPolygonGL({{10, 10}, {40, 10}, {25, 40}}, kWhite);
    renderer().drawPoint({2, 2}, kGreen);
    EXPECT_EQ(renderer().readPixels(Rect{2, 2, 1, 1}).pixel(0, 0), kGreen);
}

TEST_F(RendererTest, CopyStretchesTheWholeTextureOrOnlyTheSourcePart)
{
    const Texture texture = quadrants();
    renderer().copy(texture, {0, 0, 8, 8});
    EXPECT_EQ(row(Rect{0, 0, 8, 8}, 3), (Colors{kRed, kRed, kRed, kRed, kGreen, kGreen, kGreen, kGreen}));
    EXPECT_EQ(row(Rect{0, 0, 8, 8}, 7), (Colors{kBlue, kBlue, kBlue, kBlue, kYellow, kYellow, kYellow, kYellow}));

    renderer().copy(texture, {0, 0, 8, 8}, Rect{2, 2, 2, 2});
    const Image part = renderer().readPixels(Rect{0, 0, 8, 8});
    EXPECT_EQ(std::count(part.pixels.begin(), part.pixels.end(), part.pixels[0]), 64);
    EXPECT_EQ(part.pixel(0, 0), kYellow);

    // copyEx without a turn or flip is copy.
    renderer().clear(kBlack);
    renderer().copy(texture, {3, 5, 12, 8}, Rect{0, 0, 4, 2});
    const Image copied = renderer().readPixels();
    renderer().clear(kBlack);
    renderer().copyEx(texture, {3, 5, 12, 8}, Rect{0, 0, 4, 2}, 0.0, SDL_FLIP_NONE);
    EXPECT_EQ(renderer().readPixels().pixels, copied.pixels);

    // A quarter turn clockwise about the middle: the red top-left quadrant goes to the top right.
    renderer().copyEx(texture, {0, 0, 4, 4}, std::nullopt, 90.0, SDL_FLIP_NONE);
    EXPECT_EQ(row(Rect{0, 0, 4, 4}, 0), (Colors{kBlue, kBlue, kRed, kRed}));
    renderer().copyEx(texture, {0, 0, 4, 4}, std::nullopt, 0.0, SDL_FLIP_HORIZONTAL);
    EXPECT_EQ(row(Rect{0, 0, 4, 4}, 3), (Colors{kYellow, kYellow, kBlue, kBlue}));
}

TEST_F(RendererTest, AnImageReadBackAndSavedAsPngLoadsAsATexture)
{
    EXPECT_EQ(renderer().name(), "opengl");
    const Color odd{10, 200, 30, 255}; // every channel different, so that no two can swap unseen
    renderer().fillRect({0, 0, 4, 4}, odd);
    renderer().fillRect({4, 0, 4, 4}, kBlue);
    EXPECT_EQ(renderer().readPixels().size, (Size{kTargetSide, kTargetSide}));
    EXPECT_EQ(renderer().readPixels().pixel(-1, 0), Color()) << "outside the picture there is no colour";
    const Image image = renderer().readPixels(Rect{0, 0, 8, 4});
    const std::string dir = scratchDirectory("texture");
    ASSERT_TRUE(image.savePng(dir + "/picture.png"));
    EXPECT_FALSE(Image{}.savePng(dir + "/empty.png"));
    EXPECT_FALSE(image.savePng(dir + "/no/such/dir/frame.png"));

    const Texture texture(dir + "/picture.png");
    EXPECT_EQ(texture.size(), (Size{8, 4}));
    EXPECT_EQ(texture.path(), dir + "/picture.png");
    renderer().copy(texture, {0, 10, 8, 4});
    EXPECT_EQ(row(Rect{0, 10, 8, 4}, 3), (Colors{odd, odd, odd, odd, kBlue, kBlue, kBlue, kBlue}));
    EXPECT_TRUE(Texture().isNull());
}

TEST_F(RendererTest, TextureCopiesShareAlphaAndAnAlphaOutOfRangeChangesNothing)
{
    Texture first = quadrants();
    const Texture second = first;
    first.setAlpha(0.5f);
    EXPECT_EQ(second.alpha(), 127);
    first.setColorMod(10, 20, 30);
    EXPECT_EQ(second.colorMod(), (Color{10, 20, 30, 255}));
    // Drawn at alpha 127 over black: half the modulated red, whichever copy draws.
    renderer().copy(second, {0, 0, 4, 4});
    EXPECT_NEAR(renderer().readPixels(Rect{0, 0, 1, 1}).pixel(0, 0).r, 10 * 127 / 255, 1);
    first.resetAlpha();
    EXPECT_EQ(second.alpha(), 255);

    first.setAlpha(uint8_t{200});
    first.setAlpha(1.5f);
    first.setAlpha(-0.1f);
    EXPECT_EQ(first.alpha(), 200);
    first.setAlpha(0.0f);
    EXPECT_EQ(first.alpha(), 0);
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
