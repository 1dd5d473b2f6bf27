// Sprite-sheet animations: the XML description, frame stepping at 60 frames per second, drawing each
// frame at its own size, and the load failures.

#include "Core/Core.h"
#include "Graphics/Animation.h"
#include "Graphics/Renderer.h"
#include "Graphics/Sprite.h"
#include "Graphics/Surface.h"
#include "Graphics/Text.h"
#include "support/Headless.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

const Color kRed(255, 0, 0, 255);
const Color kGreen(0, 255, 0, 255);
const Color kBlue(0, 0, 255, 255);
const Color kMagenta(255, 0, 255, 255);
const Color kWhite(255, 255, 255, 255);
const Color kBackground(192, 192, 192, 255);

std::uintmax_t logSize()
{
    std::error_code error;
    const auto size = std::filesystem::file_size("userData/log.txt", error);
    return error ? 0 : size;
}

class AnimationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        std::filesystem::create_directories("userData");
        startHeadlessCore();
        dir = scratchDirectory("animation");
        sheet = writeSheet();
        renderer().setTarget(Core::instance().renderTarget().handle());
        renderer().clear(kBackground);
    }

    static Renderer& renderer() { return Core::instance().renderer(); }

    // A 112 x 32 sheet: a red 32 x 32 frame, a green 48 x 32 frame, a blue 32 x 32 frame. The top-left
    // pixel of each is magenta, and the red frame's left column is white so that mirroring shows.
    std::string writeSheet() const
    {
        Surface surface(Size(112, 32));
        const struct {
            int x, w;
            Color color;
        } frames[3] = {{0, 32, kRed}, {32, 48, kGreen}, {80, 32, kBlue}};
        for (const auto& f : frames) {
            SDL_Rect area{f.x, 0, f.w, 32};
            SDL_FillRect(surface.handle(), &area, f.color.map(surface.handle()->format));
            surface.setPixel(kMagenta, {f.x, 0});
        }
        for (int y = 1; y < 32; ++y)
            surface.setPixel(kWhite, {0, y});
        const std::string path = dir + "/sheet.png";
        EXPECT_EQ(IMG_SavePNG(surface.handle(), path.c_str()), 0);
        return path;
    }

    std::string writeXml(const std::string& name, const std::string& text) const
    {
        const std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // The usual file: the three frames of the sheet, keyed magenta, with the given delay attribute.
    std::string threeFrames(const std::string& delayAttribute, const std::string& color = "#FF00FF") const
    {
        return writeXml("three.xml", "<sheet image=\"" + sheet + "\" transparentColor=\"" + color +
                                         "\">\n  <animation " + delayAttribute +
                                         " count=\"3\">\n"
                                         "    <frame x=\"0\" y=\"0\" width=\"32\" height=\"32\"/>\n"
                                         "    <frame x=\"32\" y=\"0\" width=\"48\" height=\"32\"/>\n"
                                         "    <frame x=\"80\" y=\"0\" width=\"32\" height=\"32\"/>\n"
                                         "  </animation>\n</sheet>\n");
    }

    // The frame shown after each of n updates.
    static std::vector<uint32_t> step(Animation& animation, int n)
    {
        std::vector<uint32_t> shown;
        for (int i = 0; i < n; ++i) {
            animation.update();
            shown.push_back(animation.current());
        }
        return shown;
    }

    static Color pixelAt(Point p) { return renderer().readPixels(Rect(p, Size(1, 1))).pixel(0, 0); }

    std::string dir;
    std::string sheet;
};

} // namespace

TEST_F(AnimationTest, LoadsTheSheetTheFramesAndTheDelay)
{
    Animation animation(threeFrames("delay=\"100\""), 1);
    EXPECT_EQ(animation.frames(), (std::vector<Rect>{{0, 0, 32, 32}, {32, 0, 48, 32}, {80, 0, 32, 32}}));
    EXPECT_EQ(animation.rect(), Rect(0, 0, 32, 32));
    EXPECT_EQ(animation.frameTimer().limit(), 6u); // 100 ms at 60 fps
    EXPECT_EQ(animation.texture().size(), Size(112, 32));
    EXPECT_TRUE(animation.isFirstFrame());
}

TEST_F(AnimationTest, ALoopingAnimationChangesFrameOnEverySeventhUpdate)
{
    Animation animation(threeFrames("delay=\"100\""), 1, true);
    const std::vector<uint32_t> shown = step(animation, 28);
    for (int update = 1; update <= 28; ++update)
        EXPECT_EQ(shown[update - 1], (update / 7) % 3) << "update " << update;
}

TEST_F(AnimationTest, AnAnimationThatDoesNotLoopStaysOnItsLastFrame)
{
    Animation animation(threeFrames("delay=\"100\""), 0, true);
    const std::vector<uint32_t> shown = step(animation, 14);
    EXPECT_EQ(shown[5], 0u);
    EXPECT_EQ(shown[6], 1u);
    EXPECT_EQ(shown[13], 2u);
    EXPECT_TRUE(animation.isLastFrame());
    for (uint32_t frame : step(animation, 30))
        EXPECT_EQ(frame, 2u);
    EXPECT_TRUE(animation.isLastFrame());
}

TEST_F(AnimationTest, WithoutADelayTheFrameChangesOnEveryUpdate)
{
    for (const std::string& delay : {std::string("delay=\"0\""), std::string(""), std::string("delay=\"16\"")}) {
        Animation animation(threeFrames(delay), 1, true);
        EXPECT_EQ(step(animation, 6), (std::vector<uint32_t>{1, 2, 0, 1, 2, 0})) << delay;
    }
    Animation everySecond(threeFrames("delay=\"17\""), 1, true);
    EXPECT_EQ(step(everySecond, 4), (std::vector<uint32_t>{0, 1, 1, 2}));
}

TEST_F(AnimationTest, ResetInTheMiddleOfACycleRestartsFrameAndDelay)
{
    Animation animation(threeFrames("delay=\"100\""), 1);
    step(animation, 10); // frame 1, three updates into its delay
    ASSERT_EQ(animation.current(), 1u);
    animation.reset();
    EXPECT_TRUE(animation.isFirstFrame());
    EXPECT_EQ(animation.frameTimer().count(), 0u);
    animation.setPosition({50, 50});
    animation.draw();
    EXPECT_EQ(pixelAt({60, 60}), kRed);
    const std::vector<uint32_t> shown = step(animation, 7);
    EXPECT_EQ(shown[5], 0u);
    EXPECT_EQ(shown[6], 1u);
}

TEST_F(AnimationTest, EachFrameIsDrawnAtItsOwnSize)
{
    Animation animation(threeFrames("delay=\"0\""), 1);
    animation.setPosition({100, 100});
    animation.update(); // the 48-pixel green frame
    ASSERT_EQ(animation.current(), 1u);
    EXPECT_EQ(animation.rect().size(), Size(32, 32)); // the first frame's size stays the animation's
    animation.draw();
    EXPECT_EQ(pixelAt({101, 110}), kGreen);
    EXPECT_EQ(pixelAt({147, 131}), kGreen);
    EXPECT_EQ(pixelAt({148, 110}), kBackground);
    EXPECT_EQ(pixelAt({110, 132}), kBackground);
}

TEST_F(AnimationTest, TheTransparentColourShowsWhatLiesBeneath)
{
    Animation keyed(threeFrames("delay=\"0\""), 1);
    keyed.setPosition({10, 10});
    keyed.draw();
    EXPECT_EQ(pixelAt({10, 10}), kBackground);
    EXPECT_EQ(pixelAt({11, 10}), kRed);

    for (const std::string& color : {std::string(""), std::string("PURPLE")}) {
        Animation unkeyed(threeFrames("delay=\"0\"", color), 1);
        unkeyed.setPosition({60, 10});
        unkeyed.draw();
        EXPECT_EQ(pixelAt({60, 10}), kMagenta) << color;
    }
}

TEST_F(AnimationTest, DrawFlippedMirrorsTheFrame)
{
    Animation animation(threeFrames("delay=\"0\""), 1);
    animation.setPosition({200, 200});
    animation.drawFlipped(SDL_FLIP_HORIZONTAL);
    EXPECT_EQ(pixelAt({231, 210}), kWhite); // the left column now on the right
    EXPECT_EQ(pixelAt({200, 210}), kRed);

    animation.setPosition({300, 200});
    animation.drawEx(0.0, SDL_FLIP_NONE);
    EXPECT_EQ(pixelAt({300, 210}), kWhite);
    EXPECT_EQ(pixelAt({331, 210}), kRed);
}

TEST_F(AnimationTest, AFrameWithoutSizeDrawsNothing)
{
    const std::string path = writeXml("empty-frame.xml", "<a image=\"" + sheet +
                                                             "\"><animation><frame x=\"5\" y=\"5\"/>"
                                                             "<frame width=\"32\" height=\"32\"/></animation></a>");
    Animation animation(path, 1);
    EXPECT_EQ(animation.frames().front(), Rect(5, 5, 0, 0));
    EXPECT_EQ(animation.rect().size(), Size(0, 0));
    animation.setPosition({400, 400});
    const Image before = renderer().readPixels(Rect(390, 390, 40, 40));
    animation.draw();
    EXPECT_EQ(renderer().readPixels(Rect(390, 390, 40, 40)).pixels, before.pixels);
}

TEST_F(AnimationTest, ACopySharesTheSheetButNotTheFrameState)
{
    Animation original(threeFrames("delay=\"0\""), 1);
    original.update();
    Animation copy = original;
    EXPECT_EQ(copy.texture().handle(), original.texture().handle());
    copy.update();
    EXPECT_EQ(copy.current(), 2u);
    EXPECT_EQ(original.current(), 1u);
    copy.reset();
    EXPECT_EQ(original.current(), 1u);

    // The shared sheet fades every copy.
    copy.texture().setAlpha(uint8_t{100});
    EXPECT_EQ(original.texture().alpha(), 100);
}

TEST_F(AnimationTest, SetTextureReplacesTheSheetOfAnAnimationLoadedWithoutIt)
{
    Animation animation(threeFrames("delay=\"0\""), 1, true);
    EXPECT_TRUE(animation.texture().isNull());
    Surface blue(Size(112, 32));
    blue.fill(kBlue);
    animation.setTexture(Texture(blue));
    animation.setPosition({500, 10});
    animation.draw();
    EXPECT_EQ(pixelAt({510, 20}), kBlue);
    EXPECT_EQ(animation.rect().size(), Size(32, 32));
}

TEST_F(AnimationTest, ParseReadsEveryChildOfTheAnimationAsAFrame)
{
    const AnimationData data =
        Animation::parse("\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- a player -->\n"
                         "<anything image=\"data/img/p.png\" transparentColor=\"magenta\">\n"
                         "  <other delay=\"999\"/>\n"
                         "  <animation delay=\"0x10\" count=\"2\">\n"
                         "    <f x=\"1\" y=\"2\" width=\"3\" height=\"4\"><ignored x=\"9\"/></f>\n"
                         "    <!-- not a frame -->\n"
                         "    stray text\n"
                         "    <![CDATA[raw]]>\n"
                         "    <g x=\"-5\" width=\"0x20\"/>\n"
                         "    <h/><h/><h/>\n"
                         "  </animation>\n"
                         "  <animation delay=\"1\"><f width=\"1\"/></animation>\n"
                         "</anything>");
    EXPECT_EQ(data.image, "data/img/p.png");
    EXPECT_EQ(data.transparentColor, kMagenta);
    EXPECT_EQ(data.delay, 16u);
    EXPECT_EQ(data.count, 2u);
    EXPECT_EQ(data.frames, (std::vector<Rect>{{1, 2, 3, 4}, {}, {}, {-5, 0, 32, 0}, {}, {}, {}}));
}

TEST_F(AnimationTest, ParseKeepsWhatWasBuiltBeforeAnError)
{
    const AnimationData data = Animation::parse("<s image=\"a.png\"><animation delay=\"50\">"
                                                "<f width=\"7\" height=\"8\"/><f width=\"9\"/><broken <f/>");
    EXPECT_EQ(data.image, "a.png");
    EXPECT_EQ(data.delay, 50u);
    ASSERT_GE(data.frames.size(), 2u);
    EXPECT_EQ(data.frames[0], Rect(0, 0, 7, 8));
    EXPECT_EQ(data.frames[1], Rect(0, 0, 9, 0));
}

TEST_F(AnimationTest, ParseIsTolerantOfEmptyAndOddInput)
{
    const AnimationData nothing = Animation::parse("");
    EXPECT_EQ(nothing.image, "");
    EXPECT_TRUE(nothing.transparentColor.isEmpty());
    EXPECT_TRUE(nothing.frames.empty());

    const AnimationData negative = Animation::parse("<r><animation delay=\"-5\" count=\"-1\"><f/></animation></r>");
    EXPECT_EQ(negative.delay, 0u);
    EXPECT_EQ(negative.count, 0u);
    EXPECT_EQ(negative.frames.size(), 1u);

    // An absurd count reserves a bounded amount; all frames read still count.
    const AnimationData huge =
        Animation::parse("<r><animation count=\"4000000000\"><f/><f/><f/><f/><f/></animation></r>");
    EXPECT_EQ(huge.count, 4000000000u);
    EXPECT_EQ(huge.frames.size(), 5u);
    EXPECT_LE(huge.frames.capacity(), 4096u);
}

TEST_F(AnimationTest, CountDoesNotLimitTheFrames)
{
    const std::string path = writeXml("five.xml", "<a><animation count=\"2\"><f width=\"1\"/><f width=\"2\"/>"
                                                  "<f width=\"3\"/><f width=\"4\"/><f width=\"5\"/></animation></a>");
    Animation animation(path, 1, true);
    ASSERT_EQ(animation.frames().size(), 5u);
    EXPECT_EQ(animation.frames()[4].w, 5);
    EXPECT_EQ(step(animation, 5), (std::vector<uint32_t>{1, 2, 3, 4, 0}));
}

TEST_F(AnimationTest, FilesThatCannotBeLoadedEndTheProgram)
{
    struct Case {
        std::string xml;
        std::string message;
    };
    const std::string noFrames = writeXml("no-frames.xml", "<a image=\"" + sheet + "\"><animation count=\"3\"/></a>");
    const std::string noAnimation = writeXml("no-animation.xml", "<a image=\"" + sheet + "\"/>");
    const std::string missingImage =
        writeXml("missing-image.xml", "<a image=\"scratch/animation/none.png\"><animation><f/></animation></a>");
    const std::string noImage = writeXml("no-image.xml", "<a><animation><f/></animation></a>");
    const std::vector<Case> cases = {
        {"scratch/animation/missing.xml", "File scratch/animation/missing.xml failed load!"},
        {noFrames, "Animation " + noFrames + " failed load!"},
        {noAnimation, "Animation " + noAnimation + " failed load!"},
        {missingImage, "Surface scratch/animation/none.png failed load!"},
        {noImage, "Surface  failed load!"},
    };
    for (const Case& c : cases) {
        const auto before = logSize();
        EXPECT_EXIT(Animation(c.xml, 1), ::testing::ExitedWithCode(1), c.message);
        EXPECT_NE(readFile("userData/log.txt").substr(before).find("|ERROR| " + c.message), std::string::npos)
            << c.message;
    }
}

TEST_F(AnimationTest, ASpriteALabelAndAnAnimationInOneFrame)
{
    const std::string game = "data/ttf/tahomabd.ttf";
    const Font font(std::filesystem::exists(game) ? game : "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", 22);

    Surface checker(Size(64, 64));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            checker.setPixel(((x / 16) + (y / 16)) % 2 ? kBlue : kWhite, {x, y});
    Sprite sprite(Texture(checker), {40, 40});
    Text label(font, "Поздравляю вас!", kWhite, {140, 50}, 1);
    Animation animation(threeFrames("delay=\"0\""), 1);
    animation.setPosition({40, 140});
    animation.update();

    renderer().clear(kBackground);
    sprite.draw();
    label.draw();
    animation.draw();
    const Image frame = renderer().readPixels(Rect(0, 0, 400, 220));
    EXPECT_TRUE(frame.savePng(dir + "/frame.png"));

    EXPECT_EQ(frame.pixel(41, 41), kWhite);
    EXPECT_EQ(frame.pixel(57, 41), kBlue);
    EXPECT_EQ(frame.pixel(40, 140), kBackground); // the green frame's keyed corner
    EXPECT_EQ(frame.pixel(87, 171), kGreen);
    int white = 0;
    for (int y = label.rect().y; y < label.rect().bottom(); ++y)
        for (int x = label.rect().x; x < label.rect().right(); ++x)
            white += frame.pixel(x, y) == kWhite;
    EXPECT_GT(white, 100);
}
