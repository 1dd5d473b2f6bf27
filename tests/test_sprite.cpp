// Sprites: their size from the clip or the texture, drawing the whole texture or the clipped part,
// mirrored and rotated copies.

#include "Core/Core.h"
#include "Graphics/Renderer.h"
#include "Graphics/Sprite.h"
#include "Graphics/Surface.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const Color kRed(255, 0, 0, 255);
const Color kGreen(0, 255, 0, 255);
const Color kBlue(0, 0, 255, 255);
const Color kWhite(255, 255, 255, 255);
const Color kBackground(192, 192, 192, 255);

class SpriteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        startHeadlessCore();
        renderer().setTarget(Core::instance().renderTarget().handle());
        renderer().clear(kBackground);
    }

    static Renderer& renderer() { return Core::instance().renderer(); }

    // Four columns, red, green, blue and white, each one pixel wide and two high.
    static Texture stripes()
    {
        Surface surface(Size(4, 2));
        const Color columns[4] = {kRed, kGreen, kBlue, kWhite};
        for (int x = 0; x < 4; ++x)
            for (int y = 0; y < 2; ++y)
                surface.setPixel(columns[x], {x, y});
        return Texture(surface);
    }

    static Texture plain(Size size)
    {
        Surface surface(size);
        surface.fill(kWhite);
        return Texture(surface);
    }

    static std::vector<Color> row(const Rect& area, int y)
    {
        const Image image = renderer().readPixels(area);
        std::vector<Color> colors;
        for (int x = 0; x < image.size.w; ++x)
            colors.push_back(image.pixel(x, y));
        return colors;
    }
};

} // namespace

TEST_F(SpriteTest, SizeComesFromTheClipOrTheTexture)
{
    const Texture texture = plain({64, 64});
    const Sprite clipped(texture, {10, 20}, Rect(0, 0, 32, 16));
    EXPECT_EQ(clipped.rect(), Rect(10, 20, 32, 16));
    const Sprite whole(texture, {10, 20});
    EXPECT_EQ(whole.rect(), Rect(10, 20, 64, 64));
}

TEST_F(SpriteTest, SetTextureResizesAndKeepsThePosition)
{
    Sprite sprite(plain({64, 64}), {5, 6});
    const Texture other = plain({8, 4});
    sprite.setTexture(other);
    EXPECT_EQ(sprite.rect(), Rect(5, 6, 8, 4));
    EXPECT_EQ(sprite.texture().handle(), other.handle());

    Sprite clipped(plain({64, 64}), {1, 2}, Rect(0, 0, 3, 3));
    clipped.setTexture(other);
    EXPECT_EQ(clipped.rect(), Rect(1, 2, 3, 3));
}

TEST_F(SpriteTest, DrawsTheWholeTextureOrItsClip)
{
    Sprite sprite(stripes(), {100, 100});
    sprite.draw();
    EXPECT_EQ(row(Rect(100, 100, 4, 2), 1), (std::vector<Color>{kRed, kGreen, kBlue, kWhite}));

    Sprite clipped(stripes(), {200, 100}, Rect(1, 0, 2, 2));
    clipped.draw();
    EXPECT_EQ(row(Rect(199, 100, 4, 2), 0), (std::vector<Color>{kBackground, kGreen, kBlue, kBackground}));
}

TEST_F(SpriteTest, MirroredAndRotatedCopies)
{
    Sprite sprite(stripes(), {100, 100});
    sprite.drawFlipped(SDL_FLIP_HORIZONTAL);
    EXPECT_EQ(row(Rect(100, 100, 4, 2), 0), (std::vector<Color>{kWhite, kBlue, kGreen, kRed}));

    // Half a turn about the middle is the same as both flips.
    sprite.rect().setPosition({100, 110});
    sprite.drawEx(180.0, SDL_FLIP_NONE);
    EXPECT_EQ(row(Rect(100, 110, 4, 2), 1), (std::vector<Color>{kWhite, kBlue, kGreen, kRed}));

    sprite.rect().setPosition({100, 120});
    sprite.drawEx(0.0, SDL_FLIP_NONE, Point(0, 0));
    EXPECT_EQ(row(Rect(100, 120, 4, 2), 0), (std::vector<Color>{kRed, kGreen, kBlue, kWhite}));
}
