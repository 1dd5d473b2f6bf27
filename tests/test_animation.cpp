// Sprite-sheet animations: the XML description, frame stepping at 60 frames per second, drawing each
// frame at its own size, and the load failures.
#include "Core/Core.h"
#include "Graphics/Animation.h"
#include "Graphics/Renderer.h"
#include "Graphics/Surface.h"
#include "support/EngineHarness.h"
#include "support/Headless.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using namespace engine_test;

namespace {

const Color kRed(255, 0, 0, 255);
const Color kGreen(0, 255, 0, 255);
const Color kBlue(0, 0, 255, 255);
const Color kMagenta(255, 0, 255, 255);
const Color kWhite(255, 255, 255, 255);
const Color kBackground(192, 192, 192, 255);
using Frames = std::vector<uint32_t>;

class AnimationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
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
        return writeXml("three.xml",
            "<sheet image=\"" + sheet + "\" transparentColor=\"" + color + "\">\n  <animation " + delayAttribute
                + " count=\"3\">\n"
                  "    <frame x=\"0\" y=\"0\" width=\"32\" height=\"32\"/>\n"
                  "    <frame x=\"32\" y=\"0\" width=\"48\" height=\"32\"/>\n"
                  "    <frame x=\"80\" y=\"0\" width=\"32\" height=\"32\"/>\n"
                  "  </animation>\n</sheet>\n");
    }

    // The frame shown after each of n updates.
    static Frames step(Animation& animation, int n)
    {
        Frames shown;
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

TEST_F(AnimationTest, TheFrameChangesAfterItsDelayInWholeUpdatesAndResetRestartsFrameAndDelay)
{
    Animation looping(threeFrames("delay=\"100\""), 1, true);
    EXPECT_EQ(looping.frames(), (std::vector<Rect>{{0, 0, 32, 32}, {32, 0, 48, 32}, {80, 0, 32, 32}}));
    EXPECT_EQ(looping.frameTimer().limit(), 6u);
    const Frames shown = step(looping, 28);
    for (int update = 1; update <= 28; ++update)
        EXPECT_EQ(shown[update - 1], (update / 7) % 3) << "update " << update;
    // Without looping it stays on its last frame.
    Animation once(threeFrames("delay=\"100\""), 0, true);
    for (uint32_t frame : step(once, 44))
        EXPECT_EQ(frame, std::min(frame, 2u));
    EXPECT_TRUE(once.isLastFrame());
    EXPECT_EQ(once.current(), 2u);
    // Without a delay (or one shorter than a frame) every update shows the next frame.
    for (const std::string& delay : {std::string("delay=\"0\""), std::string(""), std::string("delay=\"16\"")}) {
        Animation animation(threeFrames(delay), 1, true);
        EXPECT_EQ(step(animation, 6), (Frames{1, 2, 0, 1, 2, 0})) << delay;
    }
    Animation everySecond(threeFrames("delay=\"17\""), 1, true);
    EXPECT_EQ(step(everySecond, 4), (Frames{0, 1, 1, 2}));

    Animation animation(threeFrames("delay=\"100\""), 1);
    step(animation, 10); // frame 1, three updates into its delay
    animation.reset();
    EXPECT_TRUE(animation.isFirstFrame());
    animation.setPosition({50, 50});
    animation.draw();
    EXPECT_EQ(pixelAt({60, 60}), kRed);
    const Frames afterReset = step(animation, 7);
    EXPECT_EQ(afterReset[5], 0u);
    EXPECT_EQ(afterReset[6], 1u);
    // A copy shares the sheet but not the frame state.
    Animation copy = animation;
    EXPECT_EQ(step(copy, 7).back(), 2u);
    EXPECT_EQ(animation.current(), 1u);
    EXPECT_EQ(copy.texture().handle(), animation.texture().handle());
}

TEST_F(AnimationTest, EachFrameIsDrawnAtItsOwnSizeWithItsKeyAndMirrored)
{
    Animation animation(threeFrames("delay=\"0\""), 1);
    animation.setPosition({100, 100});
    animation.update(); // the 48-pixel green frame
    EXPECT_EQ(animation.rect().size(), Size(32, 32)); // the first frame's size stays the animation's
    animation.draw();
    EXPECT_EQ(pixelAt({100, 100}), kBackground) << "the keyed corner";
    EXPECT_EQ(pixelAt({101, 110}), kGreen);
    EXPECT_EQ(pixelAt({147, 131}), kGreen);
    EXPECT_EQ(pixelAt({148, 110}), kBackground);
    EXPECT_EQ(pixelAt({110, 132}), kBackground);

    animation.reset();
    animation.setPosition({200, 200});
    animation.drawFlipped(SDL_FLIP_HORIZONTAL);
    EXPECT_EQ(pixelAt({231, 210}), kWhite); // the left column now on the right
    EXPECT_EQ(pixelAt({200, 210}), kRed);

    for (const std::string& color : {std::string(""), std::string("PURPLE")}) {
        Animation unkeyed(threeFrames("delay=\"0\"", color), 1);
        unkeyed.setPosition({60, 10});
        unkeyed.draw();
        EXPECT_EQ(pixelAt({60, 10}), kMagenta) << color;
    }
}

TEST_F(AnimationTest, CountDoesNotLimitTheFrames)
{
    Animation five(writeXml("five.xml",
                       "<a><animation count=\"2\"><f width=\"1\" height=\"1\"/><f width=\"2\" height=\"1\"/>"
                       "<f width=\"3\" height=\"1\"/><f width=\"4\" height=\"1\"/><f width=\"5\" height=\"1\"/>"
                       "</animation></a>"),
        1, true);
    EXPECT_EQ(step(five, 5), (Frames{1, 2, 3, 4, 0}));
}

TEST_F(AnimationTest, ParseReadsEveryChildOfTheAnimationAsAFrame)
{
    const AnimationData data
        = Animation::parse("\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- a player -->\n"
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

TEST_F(AnimationTest, ParseKeepsWhatWasBuiltBeforeAnErrorAndBoundsAHugeCount)
{
    const AnimationData data = Animation::parse("<s image=\"a.png\"><animation delay=\"50\">"
                                                "<f width=\"7\" height=\"8\"/><f width=\"9\"/><broken <f/>");
    EXPECT_EQ(data.image, "a.png");
    EXPECT_EQ(data.delay, 50u);
    ASSERT_GE(data.frames.size(), 2u);
    EXPECT_EQ(data.frames[0], Rect(0, 0, 7, 8));
    EXPECT_EQ(data.frames[1], Rect(0, 0, 9, 0));

    const AnimationData negative = Animation::parse("<r><animation delay=\"-5\" count=\"-1\"><f/></animation></r>");
    EXPECT_EQ(negative.delay, 0u);
    EXPECT_EQ(negative.count, 0u);
    // An absurd count reserves a bounded amount; all frames read still count.
    const AnimationData huge
        = Animation::parse("<r><animation count=\"4000000000\"><f/><f/><f/><f/><f/></animation></r>");
    EXPECT_EQ(huge.count, 4000000000u);
    EXPECT_EQ(huge.frames.size(), 5u);
    EXPECT_LE(huge.frames.capacity(), 4096u);
    EXPECT_TRUE(Animation::parse("").frames.empty());
}

TEST_F(AnimationTest, FilesThatCannotBeLoadedEndTheProgram)
{
    const std::string noFrames = writeXml("no-frames.xml", "<a image=\"" + sheet + "\"><animation count=\"3\"/></a>");
    const std::string noAnimation = writeXml("no-animation.xml", "<a image=\"" + sheet + "\"/>");
    const std::string missingImage = writeXml("missing-image.xml",
        "<a image=\"" + dir + "/none.png\"><animation><f width=\"1\" height=\"1\"/></animation></a>");
    const std::string noImage = writeXml("no-image.xml", "<a><animation><f width=\"1\" height=\"1\"/></animation></a>");
    const std::string noRoot = writeXml("no-root.xml", "<?xml version=\"1.0\"?><!-- nothing but a comment -->");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {dir + "/missing.xml", "File " + dir + "/missing.xml failed load!"},
        {noFrames, "Animation " + noFrames + " failed load! It describes no frame."},
        {noAnimation, "Animation " + noAnimation + " failed load! It describes no frame."},
        {missingImage, "Surface " + dir + "/none.png failed load!"},
        {noImage, "Surface  failed load!"},
        {noRoot, "Animation " + noRoot + " failed load! Broken XML: No document element found at byte 51."},
    };
    for (const auto& [xml, message] : cases)
        expectFatal([&xml] { Animation(xml, 1); }, message);
}
