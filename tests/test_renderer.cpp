// Graphics on the accelerated renderer, read back pixel by pixel: primitives, copies, textures, sprites, surfaces,
// fonts and labels, resources that cannot be loaded; the start-up report with the OpenGL block.
#include "Core/Core.h"
#include "Graphics/FlatPicture.h"
#include "Graphics/Font.h"
#include "Graphics/Renderer.h"
#include "Graphics/Sprite.h"
#include "Graphics/Surface.h"
#include "Graphics/Text.h"
#include "Graphics/Texture.h"
#include "System/OsInfo.h"
#include "System/ReportSections.h"
#include "System/SystemInfo.h"
#include "Utils/File.h"
#include "support/EngineHarness.h"
#include "support/Headless.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>

using namespace engine_test;

namespace {

using PixelSet = std::set<std::pair<int, int>>;
using Colors = std::vector<Color>;
const Color kBlack{0, 0, 0, 255}, kWhite{255, 255, 255, 255}, kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255},
    kBlue{0, 0, 255, 255}, kYellow{255, 255, 0, 255}, kMagenta{255, 0, 255, 255};
const std::string kFontPath = "data/ttf/tahomabd.ttf";

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

    Font font = (startHeadlessCore(), Font(kFontPath, 22)); // the core starts the font library
};

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

// A layer that counts its draws and keeps the target it was last drawn into.
class WatchedLayer : public Sprite {
public:
    using Sprite::Sprite;
    void draw() override
    {
        ++draws;
        drawnInto = renderer().target();
        Sprite::draw();
    }
    int draws = 0;
    SDL_Texture* drawnInto = nullptr;
};

TEST_F(RendererTest, CirclesAndEllipsesArePixelExactSymmetricAndFilledRowByRow)
{
    renderer().drawCircle({{10, 10}, 0}, kWhite);
    renderer().fillCircle({{10, 10}, -3}, kWhite);
    renderer().drawEllipse({10, 10}, {0, 5}, kWhite);
    renderer().fillEllipse({10, 10}, {5, 0}, kWhite);
    EXPECT_TRUE(litPixels().empty()) << "no radius draws nothing";
    renderer().drawCircle({{20, 20}, 3}, kWhite);
    EXPECT_EQ(litPixels(20, 20),
        (PixelSet{
            {3, 0}, {-3, 0}, {0, 3}, {0, -3}, {2, 1}, {2, -1}, {-2, 1}, {-2, -1}, {1, 2}, {1, -2}, {-1, 2}, {-1, -2}}));

    for (const Size radii : {Size{1, 1}, Size{3, 3}, Size{25, 25}, Size{5, 2}, Size{20, 9}, Size{7, 30}}) {
        SCOPED_TRACE(std::to_string(radii.w) + "x" + std::to_string(radii.h));
        const bool circle = radii.w == radii.h;
        renderer().clear(kBlack);
        circle ? renderer().drawCircle({{32, 32}, radii.w}, kWhite) : renderer().drawEllipse({32, 32}, radii, kWhite);
        const PixelSet outline = litPixels(32, 32);
        const double a = radii.w, b = radii.h;
        std::map<int, std::pair<int, int>> spans;
        for (const auto& [x, y] : outline) {
            EXPECT_TRUE(outline.contains({-x, y}) && outline.contains({x, -y}) && (!circle || outline.contains({y, x})))
                << x << "," << y;
            // Within a pixel of the true curve, measured along the normal: value / gradient length.
            const double value = x * x / (a * a) + y * y / (b * b) - 1.0;
            EXPECT_LE(std::abs(value) / std::hypot(2.0 * x / (a * a), 2.0 * y / (b * b)), 1.0) << x << "," << y;
            auto [it, added] = spans.try_emplace(y, x, x);
            it->second = {std::min(it->second.first, x), std::max(it->second.second, x)};
        }
        EXPECT_TRUE(outline.contains({radii.w, 0}) && outline.contains({0, -radii.h}));
        // One pixel per step of the octant's long axis, never doubled up.
        EXPECT_TRUE(radii.w != 25 || std::abs(outline.size() - 4 * std::sqrt(2.0) * 25) <= 8.0) << outline.size();
        // Filled, each row holds everything between its outline's leftmost and rightmost pixel.
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
    EXPECT_EQ(
        std::pair(row({0, 31, 64, 1}, 0), row({0, 32, 64, 1}, 0)), std::pair(Colors(64, kBlack), Colors(64, kWhite)));
}

TEST_F(RendererTest, LinesRectsPointsAndPolygonsCoverTheirPixelsAndEmptyListsNothing)
{
    renderer().drawRects({}, kWhite);
    renderer().fillRects({}, kWhite);
    renderer().drawPoints({}, kWhite);
    renderer().drawLines({}, kWhite);
    renderer().drawPolygon({}, kWhite);
    renderer().fillPolygonGL({}, kWhite);
    EXPECT_TRUE(litPixels().empty()) << "empty lists draw nothing";

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

TEST_F(RendererTest, CopiesAndSpritesStretchTheWholeTextureOrAPartTurnAndFlipAndAPngReadBackLoadsAgain)
{
    const Texture texture = quadrants();
    const Rect area{0, 0, 8, 8}, small{0, 0, 4, 4};
    renderer().copy(texture, area);
    EXPECT_EQ(row(area, 3), (Colors{kRed, kRed, kRed, kRed, kGreen, kGreen, kGreen, kGreen}));
    EXPECT_EQ(row(area, 7), (Colors{kBlue, kBlue, kBlue, kBlue, kYellow, kYellow, kYellow, kYellow}));
    renderer().copy(texture, area, Rect{2, 2, 2, 2});
    EXPECT_EQ(row(area, 7), Colors(8, kYellow));
    // A quarter turn clockwise about the middle: the red top-left quadrant goes to the top right.
    renderer().copyEx(texture, small, std::nullopt, 90.0, SDL_FLIP_NONE);
    EXPECT_EQ(row(small, 0), (Colors{kBlue, kBlue, kRed, kRed}));
    renderer().copyEx(texture, small, small, 0.0, SDL_FLIP_HORIZONTAL);
    EXPECT_EQ(row(small, 3), (Colors{kYellow, kYellow, kBlue, kBlue}));

    // Copies of a texture share its alpha and colour; an alpha out of range changes nothing.
    Texture first = quadrants();
    const Texture second = first;
    first.setAlpha(0.5f);
    first.setColorMod(10, 20, 30);
    renderer().clear(kBlack);
    renderer().copy(second, small);
    EXPECT_NEAR(renderer().readPixels(Rect{0, 0, 1, 1}).pixel(0, 0).r, 10 * 127 / 255, 1);
    first.setAlpha(uint8_t{200});
    first.setAlpha(1.5f);
    first.setAlpha(-0.1f);
    const int kept = second.alpha();
    first.resetAlpha();
    EXPECT_EQ(std::pair(kept, int(second.alpha())), std::pair(200, 255));

    // An image read back and saved as PNG loads as a texture.
    const Color odd{10, 200, 30, 255}; // every channel different, so that no two can swap unseen
    renderer().fillRect({0, 0, 4, 4}, odd);
    renderer().fillRect({4, 0, 4, 4}, kBlue);
    EXPECT_EQ(renderer().readPixels().pixel(-1, 0), Color()) << "outside the picture there is no colour";
    const Image image = renderer().readPixels(Rect{0, 0, 8, 4});
    const std::string dir = scratchDirectory("texture");
    ASSERT_TRUE(image.savePng(dir + "/picture.png"));
    EXPECT_FALSE(Image{}.savePng(dir + "/empty.png") || image.savePng(dir + "/no/such/dir/frame.png"));
    const Texture loaded(dir + "/picture.png");
    EXPECT_EQ(loaded.size(), (Size{8, 4}));
    renderer().copy(loaded, {0, 10, 8, 4});
    EXPECT_EQ(row(Rect{0, 10, 8, 4}, 3), (Colors{odd, odd, odd, odd, kBlue, kBlue, kBlue, kBlue}));

    // A sprite takes its size from its clip, or else from its texture.
    Sprite sprite(quadrants(), {10, 20});
    Sprite clipped(quadrants(), {30, 20}, Rect(1, 2, 2, 2));
    EXPECT_EQ(std::pair(sprite.rect(), clipped.rect()), std::pair(Rect(10, 20, 4, 4), Rect(30, 20, 2, 2)));
    sprite.draw();
    clipped.draw();
    EXPECT_EQ(std::pair(row(Rect(10, 20, 4, 4), 3), row(Rect(29, 20, 4, 2), 0)),
        std::pair(Colors{kBlue, kBlue, kYellow, kYellow}, Colors{kBlack, kBlue, kYellow, kBlack}));
    // Half a turn about the middle is both flips.
    sprite.rect().setPosition({40, 40});
    sprite.drawEx(180.0, SDL_FLIP_NONE);
    EXPECT_EQ(row(Rect(40, 40, 4, 4), 0), (Colors{kYellow, kYellow, kBlue, kBlue}));
    sprite.drawFlipped(SDL_FLIP_HORIZONTAL);
    EXPECT_EQ(row(Rect(40, 40, 4, 4), 0), (Colors{kGreen, kGreen, kRed, kRed}));
    // A new texture resizes an unclipped sprite and keeps its position; a clipped one keeps its clip.
    sprite.setTexture(target_);
    clipped.setTexture(target_);
    EXPECT_EQ(std::pair(sprite.rect(), clipped.rect()), std::pair(Rect(40, 40, 64, 64), Rect(30, 20, 2, 2)));
}

// The other loaders' bad files are in test_misuse.
TEST_F(RendererTest, AResetOfTheRenderTargetsMakesAFlattenedPictureAgainAndAFailedCallIsLoggedOnceWithSdlsReason)
{
    const std::string path = scratchDirectory("flat") + "/red.png";
    ASSERT_TRUE((Image{{64, 64}, std::vector<uint32_t>(64 * 64, 0xFFFF0000)}.savePng(path)));
    WatchedLayer layer(Texture(path), {0, 0});
    FlatPicture picture;
    picture.draw({&layer});
    picture.draw({&layer});
    ASSERT_EQ(layer.draws, 1) << "flattened once, then copied";
    // Direct3D loses what its targets held when the window changes size, and posts the event: done here
    // by hand, the lost pixels turned magenta.
    SDL_SetRenderTarget(renderer().handle(), layer.drawnInto);
    SDL_SetRenderDrawColor(renderer().handle(), 255, 0, 255, 255);
    SDL_RenderClear(renderer().handle());
    renderer().setTarget(target_.handle());
    SDL_Event reset{.type = SDL_RENDER_TARGETS_RESET};
    SDL_PushEvent(&reset);
    Core::instance().input().pollEvents();
    picture.draw({&layer});
    EXPECT_EQ(std::pair(layer.draws, countPixels(renderer().readPixels(), kRed)), std::pair(2, 64 * 64));

    const auto before = logSize();
    renderer().copyEx(Texture(), {0, 0, 8, 8}, std::nullopt, 0, SDL_FLIP_NONE);
    renderer().copyEx(Texture(), {0, 0, 8, 8}, std::nullopt, 0, SDL_FLIP_NONE);
    EXPECT_TRUE(std::regex_match(
        logSince(before), std::regex("[^|]*\\|ERROR\\| SDL_RenderCopyEx failed: Parameter 'texture' is invalid\n")))
        << logSince(before);
}

TEST_F(SurfaceTest, ResourcesThatCannotBeLoadedEndTheProgramWithTheirKindPathAndSdlsReason)
{
    const std::string dir = scratchDirectory("surface");
    std::ofstream(dir + "/text.xml") << "<a/>";
    expectFatal(
        [] { Font("not a TrueType font", sizeof "not a TrueType font", 22); }, "Font from const memory failed load!");
    expectFatal([&] { File(dir + "/text.xml", 3); }, "File " + dir + "/text.xml failed load!"); // unknown mode
    const std::string added
        = expectFatal([] { Texture("data/no/such/picture.png"); }, "Texture data/no/such/picture.png failed load!");
    EXPECT_NE(added.find("Couldn't open", added.find("|ERROR| ", added.find("|ERROR| Texture") + 1)), std::string::npos)
        << added;
}

TEST_F(SurfaceTest, TheColourKeyHidesMagentaPixelsRoundTripOnAPaddedSurfaceAndBlitAtTheCorner)
{
    // A 2 x 2 RGB picture without alpha, magenta in the top-left corner: a typical sprite sheet.
    Surface rgb(SDL_CreateRGBSurfaceWithFormat(0, 2, 2, 24, SDL_PIXELFORMAT_RGB24));
    const Color colors[4] = {kMagenta, kRed, kGreen, kBlue};
    for (int i = 0; i < 4; ++i)
        rgb.setPixel(colors[i], {i % 2, i / 2});
    const std::string path = scratchDirectory("colourKey") + "/sheet.png";
    ASSERT_EQ(IMG_SavePNG(rgb.handle(), path.c_str()), 0);

    const Surface plain(path, Color());
    EXPECT_TRUE(!SDL_HasColorKey(plain.handle()) && plain.converted().pixel({0, 0}) == kMagenta);
    const Surface argb = Surface(path, kMagenta).converted();
    EXPECT_EQ(std::tuple(argb.pixel({0, 0}).a, argb.pixel({1, 0}), argb.pixel({1, 1})), std::tuple(0, kRed, kBlue));

    // 3 pixels wide, rows of 5 pixels: two pixels of padding that must never be touched.
    constexpr int kRowPixels = 5;
    constexpr uint32_t kPadding = 0xDEADBEEF;
    std::vector<uint32_t> buffer(kRowPixels * 2, kPadding);
    Surface surface(
        SDL_CreateRGBSurfaceWithFormatFrom(buffer.data(), 3, 2, 32, kRowPixels * 4, SDL_PIXELFORMAT_ARGB8888));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            surface.setPixel(Color(uint8_t(x * 50), uint8_t(y * 50), 7, 255), {x, y});
    EXPECT_TRUE(buffer[kRowPixels + 2] == (0xFF000000u | (100u << 16) | (50u << 8) | 7u)
        && std::count(buffer.begin(), buffer.end(), kPadding) == 4);
    EXPECT_TRUE(
        surface.pixel({2, 1}) == Color(100, 50, 7, 255) && surface.converted().pixel({2, 1}) == surface.pixel({2, 1}));
    surface.lock();
    surface.setPixelUnlocked(kRed, {0, 1});
    EXPECT_EQ(surface.pixelUnlocked({0, 1}), kRed);
    surface.unlock();

    Surface target(Size(2, 2));
    target.fill(kBlue);
    target.blit(surface);
    EXPECT_EQ(std::pair(target.pixel({0, 1}), target.pixel({1, 0})), std::pair(kRed, Color(50, 0, 7, 255)));
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
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                const Color want = x == 1 && y == 1 ? kRed : expected.contains({x, y}) ? kBlue : Color();
                EXPECT_EQ(result.pixel({x, y}).a ? result.pixel({x, y}) : Color(), want)
                    << x << "," << y << " mode " << mode;
            }
    }
    // Only the pixel above the threshold (alpha 101 > 100) is outlined, with its alpha.
    Surface source(Size(3, 1));
    source.setPixel(Color(255, 0, 0, 100), {0, 0});
    source.setPixel(Color(255, 0, 0, 101), {2, 0});
    const Surface result = source.outlined(kWhite, 100, 0);
    EXPECT_TRUE(result.pixel({3, 0}) == Color(255, 255, 255, 101) && result.pixel({1, 0}).a == 0);
    // Other formats are converted in place.
    Surface rgb(SDL_CreateRGBSurfaceWithFormat(0, 2, 2, 24, SDL_PIXELFORMAT_RGB24));
    rgb.fill(kGreen);
    const Surface outlined = rgb.outlined(kBlue, 0, 1);
    EXPECT_TRUE(rgb.handle()->format->format == SDL_PIXELFORMAT_ARGB8888 && outlined.pixel({0, 0}) == kBlue
        && outlined.pixel({2, 2}) == kGreen);

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

TEST_F(SurfaceTest, FontsFromMemoryEmptyOrCutTextAndLabelsThatRenderOnlyForANewString)
{
    const std::string bytes = readFile(kFontPath);
    const Font fromMemory(bytes.data(), static_cast<int>(bytes.size()), 22);
    EXPECT_TRUE(TTF_FontHeight(fromMemory.handle()) == TTF_FontHeight(font.handle())
        && Surface(font, "Duelfall", kWhite, 1).handle()->format->format == SDL_PIXELFORMAT_ARGB8888);
    // Empty text has one blank's width, for a surface and for a label alike.
    EXPECT_TRUE(Surface(font, "", kWhite, 1).size().w > 0
        && Surface(font, "", kWhite, 1).size() == Surface(font, " ", kWhite, 1).size());
    EXPECT_EQ(Text(font, "", kWhite, {0, 0}, 1).rect().size(), Text(font, " ", kWhite, {0, 0}, 1).rect().size());

    // Revealed byte by byte, as the victory message is: every other prefix ends inside a letter.
    const std::string word = "Поздравляю";
    Text revealed(font, "", kWhite, {95, 170}, 1);
    for (size_t length = 1; length <= word.size(); ++length) {
        revealed.setText(word.substr(0, length));
        EXPECT_TRUE(revealed.rect().w > 0 && revealed.rect().position() == Point(95, 170)) << length;
        EXPECT_GT(Surface(font, word.substr(0, length), kWhite, 0).size().w, 0) << length << " bytes, solid";
    }

    // A label renders again only for a new string, keeping its corner, and is blended once changed.
    Text label(font, "i", kRed, {30, 40}, 1);
    const Size small = label.rect().size();
    SDL_Texture* before = label.texture().handle();
    label.setText("i", kWhite);
    EXPECT_TRUE(label.texture().handle() == before && label.color() == kRed) << "a new colour alone renders nothing";
    label.setText("A much longer label");
    EXPECT_TRUE(label.texture().handle() != before && label.rect().w > small.w && label.color() == kRed);
    EXPECT_TRUE(
        label.rect() == Rect(Point(30, 40), label.texture().size()) && countPixels(drawnAlone(label), kRed) > 20);
    const Font large(kFontPath, 44);
    label.setText("i", kWhite, large);
    EXPECT_GT(label.rect().h, small.h) << "a new font given with a new string is taken";

    Text solid(font, "Game over", kWhite, {0, 0}, 0);
    const int solidEdges = partialPixels(drawnAlone(solid));
    solid.setText("Game over!"); // blended once changed: anti-aliased edges
    EXPECT_TRUE(solidEdges == 0 && partialPixels(drawnAlone(solid)) > 10) << solidEdges;
    // An outline adds a pixel on every side.
    const Text plain(font, "Win", kWhite, {0, 0}, 1);
    Text outlined(font, "Win", kWhite, kRed, 0, {5, 5}, 1);
    EXPECT_TRUE(outlined.rect() == Rect(5, 5, plain.rect().w + 2, plain.rect().h + 2)
        && countPixels(drawnAlone(outlined), kRed) > 10);
    outlined.setText("Won", kRed, 0);
    EXPECT_EQ(outlined.rect().w, Text(font, "Won", kWhite, {0, 0}, 1).rect().w + 2);
}

} // namespace

TEST(SystemInfo, NineSectionsInOrderWithTheirLinesAndTheFileRewrittenAtEveryStart)
{
    startHeadlessCore();
    const std::string report = systemInfoReport();
    const std::string end = "----------\n";
    EXPECT_EQ(report.rfind("---Versions---\n", 0), 0u);
    size_t at = 0;
    for (const char* header :
        {"Check subsystem", "Render", "Display", "Avaible display formats", "Audio", "CPU", "Other", "OS"}) {
        const size_t next = report.find(end + "\n---" + header + "---\n");
        EXPECT_TRUE(next != std::string::npos && next > at && report.find(end, at) == next)
            << header << " out of order, or not after one blank line";
        at = next + end.size();
    }
    EXPECT_TRUE(report.ends_with("---OS---\nOS Name: " + osName() + "\nOS Arch: " + osArch() + "\n" + end));
    for (const char* pattern : {"\nCompiled SDL version: [0-9.]+\nLinked SDL version: [0-9.]+\n"
                                "Revision SDL version: -?[0-9]+\n\nCompiled SDL_image",
             "\nAudio: true\nVideo: true\nEvents: true\n", "\n\nAudio driver: dummy\n",
             "---Render---\nRender name: opengl\nRender target: true\n",
             "\nOpenGL info:\nVendor: [^\n]+\nRenderer: [^\n]+\nVersion: [^\n]+\nShading language version: "
             "[^\n]+\n\nExtensions:\n(GL_[^ \n]+\n){10,}----------\n"})
        EXPECT_TRUE(std::regex_search(report, std::regex(pattern))) << pattern;
    EXPECT_NE(report.find("\nL1 cache line: " + std::to_string(SDL_GetCPUCacheLineSize()) + " B\n"), std::string::npos);
    EXPECT_EQ(extensionLines("GL_A GL_B ") + extensionLines("") + extensionLines("GL_C\n"), "GL_A\nGL_B\nGL_C\n");

    // A software renderer gets neither an OpenGL nor a Direct3D block; no renderer, a line that says so.
    Surface surface(Size(64, 64));
    SDL_Renderer* software = SDL_CreateSoftwareRenderer(surface.handle());
    const std::string section = renderSection(software, true);
    SDL_DestroyRenderer(software);
    EXPECT_TRUE(section.starts_with("---Render---\nRender name: software\n") && section.ends_with("\n" + end)
        && section.find(" info:") == std::string::npos)
        << section;
    EXPECT_EQ(renderSection(nullptr, true), "---Render---\nRenderer not initialized!\n" + end);

    const std::string path = "userData/systemInfo.txt";
    std::filesystem::create_directories("userData");
    std::ofstream(path, std::ios::trunc) << std::string(200000, 'x');
    writeSystemInfoReport();
    EXPECT_EQ(readFile(path), report + "\n");
}
