// Textures: loading from files the test writes itself, render targets, shared modulation, and the
// fatal error of a missing file.
#include "Core/Core.h"
#include "Graphics/Renderer.h"
#include "Graphics/Surface.h"
#include "Graphics/Texture.h"
#include "support/Headless.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <string>

namespace {

const Color kRed{255, 0, 0, 255};
const Color kBlue{0, 0, 255, 255};

// A w x h PNG whose left half is red and right half blue, written with SDL_image.
std::string writeTwoColourPng(const std::string& name, int w, int h)
{
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    const SDL_Rect left{0, 0, w / 2, h};
    const SDL_Rect right{w / 2, 0, w - w / 2, h};
    SDL_FillRect(surface, &left, SDL_MapRGBA(surface->format, 255, 0, 0, 255));
    SDL_FillRect(surface, &right, SDL_MapRGBA(surface->format, 0, 0, 255, 255));
    const std::string path = scratchDirectory("texture_" + name) + "/picture.png";
    EXPECT_EQ(IMG_SavePNG(surface, path.c_str()), 0);
    SDL_FreeSurface(surface);
    return path;
}

class TextureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        startHeadlessCore();
        target_ = Texture(Size{64, 64});
        renderer().setTarget(target_.handle());
        renderer().clear({0, 0, 0, 255});
    }
    void TearDown() override { renderer().setTarget(nullptr); }

    static Renderer& renderer() { return Core::instance().renderer(); }

    Texture target_;
};

TEST_F(TextureTest, LoadsAFileWithItsSizeAndPath)
{
    const std::string path = writeTwoColourPng("load", 8, 4);
    const Texture texture(path);
    EXPECT_FALSE(texture.isNull());
    EXPECT_EQ(texture.size(), (Size{8, 4}));
    EXPECT_EQ(texture.path(), path);

    renderer().copy(texture, {0, 0, 8, 4});
    const Image image = renderer().readPixels(Rect{0, 0, 8, 4});
    EXPECT_EQ(image.pixel(0, 0), kRed);
    EXPECT_EQ(image.pixel(3, 3), kRed);
    EXPECT_EQ(image.pixel(4, 0), kBlue);
    EXPECT_EQ(image.pixel(7, 3), kBlue);
}

TEST_F(TextureTest, DefaultIsAnEmptyPlaceholder)
{
    const Texture texture;
    EXPECT_TRUE(texture.isNull());
    EXPECT_EQ(texture.handle(), nullptr);
    EXPECT_TRUE(texture.path().empty());
    EXPECT_EQ(texture.size(), (Size{0, 0}));
}

TEST_F(TextureTest, SizedTextureIsARenderTargetWithoutPath)
{
    Texture texture(Size{16, 8});
    EXPECT_EQ(texture.size(), (Size{16, 8}));
    EXPECT_TRUE(texture.path().empty());
    uint32_t format = 0;
    int access = 0;
    SDL_QueryTexture(texture.handle(), &format, &access, nullptr, nullptr);
    EXPECT_EQ(format, static_cast<uint32_t>(SDL_PIXELFORMAT_ARGB8888));
    EXPECT_EQ(access, SDL_TEXTUREACCESS_TARGET);

    renderer().setTarget(texture.handle());
    renderer().clear({10, 20, 30, 255});
    EXPECT_EQ(renderer().readPixels().size, (Size{16, 8}));
    EXPECT_EQ(renderer().readPixels().pixel(15, 7), (Color{10, 20, 30, 255}));
}

TEST_F(TextureTest, MadeFromASurfaceThatStaysTheCallers)
{
    Surface surface(SDL_CreateRGBSurfaceWithFormat(0, 4, 2, 32, SDL_PIXELFORMAT_ARGB8888));
    SDL_FillRect(surface.handle(), nullptr, SDL_MapRGBA(surface.handle()->format, 0, 255, 0, 255));
    const Texture texture(surface);
    EXPECT_EQ(texture.size(), (Size{4, 2}));
    EXPECT_TRUE(texture.path().empty());
    EXPECT_NE(surface.handle(), nullptr);

    renderer().copy(texture, {0, 0, 4, 2});
    EXPECT_EQ(renderer().readPixels(Rect{3, 1, 1, 1}).pixel(0, 0), (Color{0, 255, 0, 255}));
}

TEST_F(TextureTest, CopiesShareAlphaAndColourModulation)
{
    Texture first(writeTwoColourPng("shared", 4, 4));
    const Texture second = first;
    EXPECT_EQ(first.handle(), second.handle());

    first.setAlpha(0.5f);
    EXPECT_EQ(first.alpha(), 127);
    EXPECT_EQ(second.alpha(), 127);

    first.setColorMod(10, 20, 30);
    EXPECT_EQ(second.colorMod(), (Color{10, 20, 30, 255}));

    // Drawn at alpha 127 over black: half the red, whichever copy draws.
    renderer().copy(second, {0, 0, 4, 4});
    const uint8_t red = renderer().readPixels(Rect{0, 0, 1, 1}).pixel(0, 0).r;
    EXPECT_NEAR(red, 10 * 127 / 255, 1);

    first.resetAlpha();
    EXPECT_EQ(second.alpha(), 255);
}

TEST_F(TextureTest, AlphaFactorOutsideZeroToOneChangesNothing)
{
    Texture texture(Size{4, 4});
    texture.setAlpha(uint8_t{200});
    texture.setAlpha(1.5f);
    EXPECT_EQ(texture.alpha(), 200);
    texture.setAlpha(-0.1f);
    EXPECT_EQ(texture.alpha(), 200);
    texture.setAlpha(1.0f);
    EXPECT_EQ(texture.alpha(), 255);
    texture.setAlpha(0.0f);
    EXPECT_EQ(texture.alpha(), 0);
}

using TextureDeathTest = TextureTest;

TEST_F(TextureDeathTest, MissingFileEndsTheProgramWithStatusOne)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string path = "data/no/such/picture.png";
    const std::string logBefore = readFile("userData/log.txt");

    EXPECT_EXIT(Texture{path}, ::testing::ExitedWithCode(1), "Texture data/no/such/picture.png failed load!");

    const std::string added = readFile("userData/log.txt").substr(logBefore.size());
    const size_t first = added.find("|ERROR| Texture " + path + " failed load!\n");
    ASSERT_NE(first, std::string::npos) << added;
    // SDL's own reason follows as a second ERROR line.
    const size_t second = added.find("|ERROR| ", first + 1);
    ASSERT_NE(second, std::string::npos) << added;
    EXPECT_NE(added.find("Couldn't open", second), std::string::npos) << added;
}

} // namespace
