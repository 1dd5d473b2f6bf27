// Surfaces and fonts: loading (and the fatal messages of files that cannot be loaded), colour keys,
// pixel access by pitch, outlines, shadows and text rendering.

#include "Core/Core.h"
#include "Graphics/Font.h"
#include "Graphics/Renderer.h"
#include "Graphics/Surface.h"
#include "Graphics/Texture.h"
#include "support/Headless.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

const Color kMagenta(255, 0, 255, 255);
const Color kRed(255, 0, 0, 255);
const Color kGreen(0, 255, 0, 255);
const Color kBlue(0, 0, 255, 255);
const Color kWhite(255, 255, 255, 255);

std::string fontPath()
{
    const std::string game = "data/ttf/tahomabd.ttf";
    return std::filesystem::exists(game) ? game : "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
}

// Everything the log received after a given size: the lines one death test added.
std::string logSince(std::uintmax_t offset) { return readFile("userData/log.txt").substr(offset); }

std::uintmax_t logSize()
{
    std::error_code error;
    const auto size = std::filesystem::file_size("userData/log.txt", error);
    return error ? 0 : size;
}

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        std::filesystem::create_directories("userData");
        startHeadlessCore();
        dir = scratchDirectory("surface");
    }

    // A 2 x 2 RGB picture without alpha, magenta in the top-left corner: a typical sprite sheet.
    std::string writeSheet()
    {
        SDL_Surface* rgb = SDL_CreateRGBSurfaceWithFormat(0, 2, 2, 24, SDL_PIXELFORMAT_RGB24);
        const Color colors[4] = {kMagenta, kRed, kGreen, kBlue};
        for (int i = 0; i < 4; ++i) {
            SDL_Rect pixel{i % 2, i / 2, 1, 1};
            SDL_FillRect(rgb, &pixel, SDL_MapRGB(rgb->format, colors[i].r, colors[i].g, colors[i].b));
        }
        const std::string path = dir + "/sheet.png";
        EXPECT_EQ(IMG_SavePNG(rgb, path.c_str()), 0);
        SDL_FreeSurface(rgb);
        return path;
    }

    std::string dir;
};

// The positions of all pixels that are not fully transparent.
std::set<std::pair<int, int>> visiblePixels(const Surface& surface)
{
    std::set<std::pair<int, int>> visible;
    for (int y = 0; y < surface.size().h; ++y)
        for (int x = 0; x < surface.size().w; ++x)
            if (surface.pixel({x, y}).a != 0)
                visible.insert({x, y});
    return visible;
}

} // namespace

TEST_F(SurfaceTest, FilesThatCannotBeLoadedEndTheProgramWithTheirKindAndPath)
{
    struct Case {
        void (*load)();
        std::string message;
    };
    const std::vector<Case> cases = {
        {[] { Surface("scratch/surface/missing.png", Color()); }, "Surface scratch/surface/missing.png failed load!"},
        {[] { Font("scratch/surface/missing.ttf", 22); }, "Font scratch/surface/missing.ttf failed load!"},
        {[] {
             static const char garbage[] = "these bytes are not a TrueType font";
             Font(garbage, sizeof garbage, 22);
         },
         "Font from const memory failed load!"},
    };
    for (const Case& c : cases) {
        const auto before = logSize();
        EXPECT_EXIT(c.load(), ::testing::ExitedWithCode(1), c.message);
        EXPECT_NE(logSince(before).find("|ERROR| " + c.message), std::string::npos) << c.message;
    }
}

TEST_F(SurfaceTest, TheEmptyColourLeavesEveryPixelOpaque)
{
    const Surface sheet(writeSheet(), Color());
    EXPECT_FALSE(SDL_HasColorKey(sheet.handle()));
    const Surface argb = sheet.converted();
    EXPECT_EQ(argb.pixel({0, 0}), kMagenta);
    EXPECT_EQ(argb.pixel({1, 1}), kBlue);
}

TEST_F(SurfaceTest, MagentaBecomesTransparentInTheCopyAndWhenDrawn)
{
    const Surface sheet(writeSheet(), kMagenta);
    ASSERT_TRUE(SDL_HasColorKey(sheet.handle()));
    const Surface argb = sheet.converted();
    EXPECT_EQ(argb.handle()->format->format, SDL_PIXELFORMAT_ARGB8888);
    EXPECT_EQ(argb.pixel({0, 0}).a, 0);
    EXPECT_EQ(argb.pixel({1, 0}), kRed);
    EXPECT_EQ(argb.pixel({0, 1}), kGreen);
    EXPECT_EQ(argb.pixel({1, 1}), kBlue);

    // Drawn over green, the keyed corner shows the green beneath.
    Renderer& renderer = Core::instance().renderer();
    renderer.setTarget(Core::instance().renderTarget().handle());
    renderer.clear(Color(0, 128, 0, 255));
    const Texture texture(sheet);
    renderer.copy(texture, Rect(10, 10, 2, 2));
    const Image frame = renderer.readPixels(Rect(10, 10, 2, 2));
    EXPECT_EQ(frame.pixel(0, 0), Color(0, 128, 0, 255));
    EXPECT_EQ(frame.pixel(1, 0), kRed);
    EXPECT_EQ(frame.pixel(1, 1), kBlue);
}

TEST_F(SurfaceTest, PixelsRoundTripAndFillCoversTheSurface)
{
    Surface surface(Size(3, 2));
    EXPECT_EQ(surface.size(), Size(3, 2));
    EXPECT_EQ(surface.pixel({2, 1}), Color()); // created fully transparent
    surface.fill(kGreen);
    surface.setPixel(Color(10, 20, 30, 40), {2, 1});
    EXPECT_EQ(surface.pixel({2, 1}), Color(10, 20, 30, 40));
    EXPECT_EQ(surface.pixel({0, 0}), kGreen);
    EXPECT_EQ(surface.pixel({1, 1}), kGreen);

    surface.lock();
    surface.setPixelUnlocked(kRed, {0, 1});
    surface.setPixelValue(kBlue.map(surface.handle()->format), {1, 0});
    EXPECT_EQ(surface.pixelUnlocked({0, 1}), kRed);
    surface.unlock();
    EXPECT_EQ(surface.pixel({1, 0}), kBlue);
}

TEST_F(SurfaceTest, RowsAreAddressedByPitchOnAPaddedSurface)
{
    // 3 pixels wide, rows of 5 pixels: two pixels of padding that must never be touched.
    constexpr int kRowPixels = 5;
    constexpr uint32_t kPadding = 0xDEADBEEF;
    std::vector<uint32_t> buffer(kRowPixels * 2, kPadding);
    Surface surface(
        SDL_CreateRGBSurfaceWithFormatFrom(buffer.data(), 3, 2, 32, kRowPixels * 4, SDL_PIXELFORMAT_ARGB8888));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            surface.setPixel(Color(uint8_t(x * 50), uint8_t(y * 50), 7, 255), {x, y});

    EXPECT_EQ(buffer[kRowPixels + 2], 0xFF000000u | (100u << 16) | (50u << 8) | 7u);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(buffer[y * kRowPixels + 3], kPadding);
        EXPECT_EQ(buffer[y * kRowPixels + 4], kPadding);
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(surface.pixel({x, y}), Color(uint8_t(x * 50), uint8_t(y * 50), 7, 255));
    }
    // The converted copy agrees with what was written.
    EXPECT_EQ(surface.converted().pixel({2, 1}), Color(100, 50, 7, 255));
}

TEST_F(SurfaceTest, BlitCopiesTheSourceAtTheCorner)
{
    Surface source(Size(1, 1));
    source.fill(kRed);
    Surface target(Size(2, 2));
    target.fill(kBlue);
    target.blit(source);
    EXPECT_EQ(target.pixel({0, 0}), kRed);
    EXPECT_EQ(target.pixel({1, 0}), kBlue);
    EXPECT_EQ(target.pixel({1, 1}), kBlue);
}

TEST_F(SurfaceTest, OutlineMarksTheFourNeighboursOrAlsoTheDiagonals)
{
    const std::set<std::pair<int, int>> image = {{1, 1}};
    const std::set<std::pair<int, int>> neighbours = {{0, 1}, {2, 1}, {1, 0}, {1, 2}};
    const std::set<std::pair<int, int>> diagonals = {{0, 0}, {2, 0}, {0, 2}, {2, 2}};

    for (int mode : {0, 1}) {
        Surface source(Size(2, 1));
        source.setPixel(kRed, {0, 0}); // (1, 0) stays fully transparent and leaves no outline
        const Surface result = source.outlined(kBlue, 0, mode);
        ASSERT_EQ(result.size(), Size(4, 3));

        std::set<std::pair<int, int>> expected = image;
        expected.insert(neighbours.begin(), neighbours.end());
        if (mode == 1)
            expected.insert(diagonals.begin(), diagonals.end());
        EXPECT_EQ(visiblePixels(result), expected) << "mode " << mode;
        EXPECT_EQ(result.pixel({1, 1}), kRed);
        for (const auto& [x, y] : expected) {
            if (!image.contains({x, y})) {
                EXPECT_EQ(result.pixel({x, y}), kBlue) << x << "," << y;
            }
        }
    }
}

TEST_F(SurfaceTest, OutlineSkipsPixelsAtOrBelowTheThresholdAndTakesTheirAlpha)
{
    Surface source(Size(3, 1));
    source.setPixel(Color(255, 0, 0, 100), {0, 0});
    source.setPixel(Color(255, 0, 0, 101), {2, 0});
    const Surface result = source.outlined(kWhite, 100, 0);
    // Only the pixel at x = 2 (alpha 101) is outlined; its outline carries its alpha.
    EXPECT_EQ(result.pixel({3, 0}), Color(255, 255, 255, 101));
    EXPECT_EQ(result.pixel({4, 1}), Color(255, 255, 255, 101));
    EXPECT_EQ(result.pixel({1, 0}).a, 0);
    EXPECT_EQ(result.pixel({1, 2}).a, 0);
}

TEST_F(SurfaceTest, OutlineConvertsAnotherFormatInPlace)
{
    Surface source(SDL_CreateRGBSurfaceWithFormat(0, 2, 2, 24, SDL_PIXELFORMAT_RGB24));
    SDL_FillRect(source.handle(), nullptr, SDL_MapRGB(source.handle()->format, 0, 255, 0));
    const Surface result = source.outlined(kBlue, 0, 1);
    EXPECT_EQ(source.handle()->format->format, SDL_PIXELFORMAT_ARGB8888);
    EXPECT_EQ(source.pixel({1, 1}), kGreen);
    EXPECT_EQ(result.size(), Size(4, 4));
    EXPECT_EQ(result.pixel({0, 0}), kBlue);
    EXPECT_EQ(result.pixel({2, 2}), kGreen);
}

TEST_F(SurfaceTest, ShadowLiesAtTheCornerAndTheImageAtTheBorder)
{
    Surface source(Size(2, 2));
    source.fill(kWhite);
    const Surface result = source.withShadow(3, 128);
    ASSERT_EQ(result.size(), Size(8, 8));

    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const Color c = result.pixel({x, y});
            if (x >= 3 && x < 5 && y >= 3 && y < 5) {
                EXPECT_EQ(c, kWhite) << x << "," << y;
            } else if (x < 2 && y < 2) {
                EXPECT_EQ(Color(c.r, c.g, c.b, 0), Color()) << x << "," << y;
                EXPECT_NEAR(c.a, 128, 1) << x << "," << y;
            } else {
                EXPECT_EQ(c.a, 0) << x << "," << y;
            }
        }
    }
}

TEST_F(SurfaceTest, MovingHandsOverTheOneHandle)
{
    Surface first(Size(4, 4));
    SDL_Surface* handle = first.handle();
    Surface second(std::move(first));
    EXPECT_EQ(second.handle(), handle);
    EXPECT_EQ(first.handle(), nullptr);
    Surface third(Size(1, 1));
    third = std::move(second);
    EXPECT_EQ(third.handle(), handle);
    EXPECT_EQ(third.size(), Size(4, 4));
}

TEST_F(SurfaceTest, EmptyTextRendersAsOneBlank)
{
    const Font font(fontPath(), 22);
    const Surface empty(font, "", kWhite, 1);
    const Surface blank(font, " ", kWhite, 1);
    EXPECT_GT(empty.size().w, 0);
    EXPECT_EQ(empty.size(), blank.size());
}

TEST_F(SurfaceTest, BlendedTextHasAlphaAndSolidTextIsPaletted)
{
    const Font font(fontPath(), 22);
    const Surface blended(font, "Duelfall", kWhite, 1);
    const Surface solid(font, "Duelfall", kWhite, 0);
    EXPECT_EQ(blended.handle()->format->format, SDL_PIXELFORMAT_ARGB8888);
    EXPECT_EQ(solid.handle()->format->BytesPerPixel, 1);
    EXPECT_GT(blended.size().w, 50);
}

TEST_F(SurfaceTest, TextCutInsideACyrillicLetterStillRenders)
{
    const Font font(fontPath(), 22);
    const std::string word = "Поздравляю"; // two bytes per letter
    for (size_t bytes = 1; bytes < word.size(); bytes += 2) {
        for (int mode : {0, 1}) {
            const Surface cut(font, word.substr(0, bytes), kWhite, mode);
            EXPECT_GT(cut.size().w, 0) << bytes << " bytes, mode " << mode;
        }
    }
}

TEST_F(SurfaceTest, FontCopiesShareOneFontAndMemoryFontsWork)
{
    const Font font(fontPath(), 22);
    const Font copy = font; // NOLINT(performance-unnecessary-copy-initialization): the copy is the point
    EXPECT_EQ(copy.handle(), font.handle());

    const std::string bytes = readFile(fontPath());
    const Font fromMemory(bytes.data(), static_cast<int>(bytes.size()), 22);
    EXPECT_EQ(TTF_FontHeight(fromMemory.handle()), TTF_FontHeight(font.handle()));
}
