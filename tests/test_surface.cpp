// Surfaces, fonts and text labels: the fatal messages of resources that cannot be loaded, colour keys,
// pixel access by pitch, outlines, shadows and text rendering and re-rendering.
#include "Core/Core.h"
#include "Graphics/Font.h"
#include "Graphics/Renderer.h"
#include "Graphics/Surface.h"
#include "Graphics/Text.h"
#include "Graphics/Texture.h"
#include "Utils/File.h"
#include "support/EngineHarness.h"
#include "support/Headless.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

using namespace engine_test;

namespace {

const Color kMagenta(255, 0, 255, 255), kRed(255, 0, 0, 255), kGreen(0, 255, 0, 255), kBlue(0, 0, 255, 255),
    kWhite(255, 255, 255, 255), kBlack(0, 0, 0, 255);
const std::string kFontPath = "data/ttf/tahomabd.ttf";
using PixelSet = std::set<std::pair<int, int>>;

Renderer& renderer() { return Core::instance().renderer(); }

// The positions of all pixels that are not fully transparent.
PixelSet visiblePixels(const Surface& surface)
{
    PixelSet visible;
    for (int y = 0; y < surface.size().h; ++y)
        for (int x = 0; x < surface.size().w; ++x)
            if (surface.pixel({x, y}).a != 0)
                visible.insert({x, y});
    return visible;
}

// Draws the label alone on black and reads back its rectangle.
Image drawnAlone(Text& label)
{
    renderer().clear(kBlack);
    label.draw();
    return renderer().readPixels(label.rect());
}

// Pixels of a white label's picture that are neither background nor full colour: anti-aliased edges.
int partialPixels(const Image& image)
{
    return static_cast<int>(std::count_if(image.pixels.begin(), image.pixels.end(), [](uint32_t p) {
        const uint32_t g = (p >> 8) & 0xFF;
        return g > 0 && g < 255;
    }));
}

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override { renderer().setTarget(Core::instance().renderTarget().handle()); }

    // The font needs the font library, which the core starts.
    static Font startedFont()
    {
        startHeadlessCore();
        return Font(kFontPath, 22);
    }

    Font font = startedFont();
};

} // namespace

// The other loaders' bad files are in test_bad_assets.
TEST_F(SurfaceTest, ResourcesThatCannotBeLoadedEndTheProgramWithTheirKindPathAndSdlsReason)
{
    const std::string dir = scratchDirectory("surface");
    std::ofstream(dir + "/text.xml") << "<a/>";
    expectFatal(
        [] {
            static const char garbage[] = "these bytes are not a TrueType font";
            Font(garbage, sizeof garbage, 22);
        },
        "Font from const memory failed load!");
    expectFatal([&] { File(dir + "/text.xml", 3); }, "File " + dir + "/text.xml failed load!"); // unknown mode
    const std::string added
        = expectFatal([] { Texture("data/no/such/picture.png"); }, "Texture data/no/such/picture.png failed load!");
    EXPECT_NE(added.find("Couldn't open", added.find("|ERROR| ", added.find("|ERROR| Texture") + 1)), std::string::npos)
        << added;
}

TEST_F(SurfaceTest, TheColourKeyHidesMagentaAndTheEmptyColourKeepsEveryPixel)
{
    // A 2 x 2 RGB picture without alpha, magenta in the top-left corner: a typical sprite sheet.
    Surface rgb(SDL_CreateRGBSurfaceWithFormat(0, 2, 2, 24, SDL_PIXELFORMAT_RGB24));
    const Color colors[4] = {kMagenta, kRed, kGreen, kBlue};
    for (int i = 0; i < 4; ++i)
        rgb.setPixel(colors[i], {i % 2, i / 2});
    const std::string path = scratchDirectory("colourKey") + "/sheet.png";
    ASSERT_EQ(IMG_SavePNG(rgb.handle(), path.c_str()), 0);

    const Surface plain(path, Color());
    EXPECT_FALSE(SDL_HasColorKey(plain.handle()));
    EXPECT_EQ(plain.converted().pixel({0, 0}), kMagenta);
    const Surface keyed(path, kMagenta);
    const Surface argb = keyed.converted();
    EXPECT_EQ(argb.handle()->format->format, SDL_PIXELFORMAT_ARGB8888);
    EXPECT_EQ(argb.pixel({0, 0}).a, 0);
    EXPECT_EQ(argb.pixel({1, 0}), kRed);
    EXPECT_EQ(argb.pixel({1, 1}), kBlue);
    // Drawn over dark green, the keyed corner shows what lies beneath.
    renderer().clear(Color(0, 128, 0, 255));
    renderer().copy(Texture(keyed), Rect(10, 10, 2, 2));
    const Image frame = renderer().readPixels(Rect(10, 10, 2, 2));
    EXPECT_EQ(frame.pixel(0, 0), Color(0, 128, 0, 255));
    EXPECT_EQ(frame.pixel(1, 0), kRed);
}

TEST_F(SurfaceTest, PixelsRoundTripOnAPaddedSurfaceAndBlitAtTheCorner)
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
    EXPECT_EQ(surface.converted().pixel({2, 1}), Color(100, 50, 7, 255));
    surface.lock();
    surface.setPixelUnlocked(kRed, {0, 1});
    EXPECT_EQ(surface.pixelUnlocked({0, 1}), kRed);
    surface.unlock();

    Surface target(Size(2, 2));
    target.fill(kBlue);
    target.blit(surface);
    EXPECT_EQ(target.pixel({0, 1}), kRed);
    EXPECT_EQ(target.pixel({1, 0}), Color(50, 0, 7, 255));
}

TEST_F(SurfaceTest, OutlineMarksTheFourNeighboursOrAlsoTheDiagonalsAboveTheThresholdAndTheShadowLiesAtTheCorner)
{
    for (int mode : {0, 1}) {
        Surface source(Size(2, 1));
        source.setPixel(kRed, {0, 0}); // (1, 0) stays fully transparent and leaves no outline
        const Surface result = source.outlined(kBlue, 0, mode);
        ASSERT_EQ(result.size(), Size(4, 3));
        PixelSet expected = {{1, 1}, {0, 1}, {2, 1}, {1, 0}, {1, 2}};
        if (mode == 1)
            expected.insert({{0, 0}, {2, 0}, {0, 2}, {2, 2}});
        EXPECT_EQ(visiblePixels(result), expected) << "mode " << mode;
        for (const auto& [x, y] : expected)
            EXPECT_EQ(result.pixel({x, y}), x == 1 && y == 1 ? kRed : kBlue) << x << "," << y;
    }
    // Only the pixel above the threshold (alpha 101 > 100) is outlined, with its alpha.
    Surface source(Size(3, 1));
    source.setPixel(Color(255, 0, 0, 100), {0, 0});
    source.setPixel(Color(255, 0, 0, 101), {2, 0});
    const Surface result = source.outlined(kWhite, 100, 0);
    EXPECT_EQ(result.pixel({3, 0}), Color(255, 255, 255, 101));
    EXPECT_EQ(result.pixel({1, 0}).a, 0);
    // Other formats are converted in place.
    Surface rgb(SDL_CreateRGBSurfaceWithFormat(0, 2, 2, 24, SDL_PIXELFORMAT_RGB24));
    rgb.fill(kGreen);
    const Surface outlined = rgb.outlined(kBlue, 0, 1);
    EXPECT_EQ(rgb.handle()->format->format, SDL_PIXELFORMAT_ARGB8888);
    EXPECT_EQ(outlined.pixel({0, 0}), kBlue);
    EXPECT_EQ(outlined.pixel({2, 2}), kGreen);

    Surface white(Size(2, 2));
    white.fill(kWhite);
    const Surface shadowed = white.withShadow(3, 128);
    ASSERT_EQ(shadowed.size(), Size(8, 8));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const Color c = shadowed.pixel({x, y});
            const bool image = x >= 3 && x < 5 && y >= 3 && y < 5, shadow = x < 2 && y < 2;
            EXPECT_EQ(image ? c : Color(c.r, c.g, c.b, 0), image ? kWhite : shadow ? Color() : Color(c.r, c.g, c.b, 0));
            EXPECT_NEAR(c.a, image ? 255 : shadow ? 128 : 0, shadow ? 1 : 0) << x << "," << y;
        }
}

TEST_F(SurfaceTest, FontsFromMemoryAndEmptyOrCutText)
{
    const std::string bytes = readFile(kFontPath);
    const Font fromMemory(bytes.data(), static_cast<int>(bytes.size()), 22);
    EXPECT_EQ(TTF_FontHeight(fromMemory.handle()), TTF_FontHeight(font.handle()));
    EXPECT_EQ(Font(font).handle(), font.handle()) << "copies share one font";
    EXPECT_EQ(Surface(font, "Duelfall", kWhite, 1).handle()->format->format, SDL_PIXELFORMAT_ARGB8888);
    EXPECT_EQ(Surface(font, "Duelfall", kWhite, 0).handle()->format->BytesPerPixel, 1);
    // Empty text has one blank's width, for a surface and for a label alike.
    EXPECT_GT(Surface(font, "", kWhite, 1).size().w, 0);
    EXPECT_EQ(Surface(font, "", kWhite, 1).size(), Surface(font, " ", kWhite, 1).size());
    EXPECT_EQ(Text(font, "", kWhite, {0, 0}, 1).rect().size(), Text(font, " ", kWhite, {0, 0}, 1).rect().size());

    // Revealed byte by byte, as the victory message is: every other prefix ends inside a letter.
    const std::string word = "Поздравляю";
    Text label(font, "", kWhite, {95, 170}, 1);
    for (size_t length = 1; length <= word.size(); ++length) {
        label.setText(word.substr(0, length));
        EXPECT_EQ(label.text(), word.substr(0, length));
        EXPECT_GT(label.rect().w, 0);
        EXPECT_EQ(label.rect().position(), Point(95, 170));
        EXPECT_GT(Surface(font, word.substr(0, length), kWhite, 0).size().w, 0) << length << " bytes, solid";
    }
}

TEST_F(SurfaceTest, ALabelReRendersOnlyForANewStringKeepingItsCornerAndIsBlendedOnceChanged)
{
    Text label(font, "i", kRed, {30, 40}, 1);
    const Size small = label.rect().size();
    EXPECT_EQ(small, label.texture().size());
    SDL_Texture* before = label.texture().handle();
    label.setText("i", kWhite);
    EXPECT_EQ(label.texture().handle(), before) << "the same string with a new colour renders nothing";
    EXPECT_EQ(label.color(), kRed);
    label.setText("A much longer label");
    EXPECT_NE(label.texture().handle(), before);
    EXPECT_EQ(label.rect(), Rect(Point(30, 40), label.texture().size()));
    EXPECT_GT(label.rect().w, small.w);
    EXPECT_EQ(label.color(), kRed);
    EXPECT_GT(countPixels(drawnAlone(label), kRed), 20);
    const Font large(kFontPath, 44);
    label.setText("i", kWhite, large);
    EXPECT_GT(label.rect().h, small.h) << "a new font given with a new string is taken";
    const Text copy(label);
    EXPECT_EQ(copy.rect(), label.rect());
    EXPECT_EQ(const_cast<Text&>(copy).texture().handle(), label.texture().handle());

    Text solid(font, "Game over", kWhite, {0, 0}, 0);
    EXPECT_EQ(partialPixels(drawnAlone(solid)), 0); // solid: every pixel is text or background
    solid.setText("Game over!");
    EXPECT_GT(partialPixels(drawnAlone(solid)), 10); // blended: anti-aliased edges
    // An outline adds a pixel on every side.
    const Text plain(font, "Win", kWhite, {0, 0}, 1);
    Text outlined(font, "Win", kWhite, kRed, 0, {5, 5}, 1);
    EXPECT_EQ(outlined.rect(), Rect(5, 5, plain.rect().w + 2, plain.rect().h + 2));
    EXPECT_GT(countPixels(drawnAlone(outlined), kRed), 10);
    outlined.setText("Won", kRed, 0);
    EXPECT_EQ(outlined.rect().w, Text(font, "Won", kWhite, {0, 0}, 1).rect().w + 2);
}
