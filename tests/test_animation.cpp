// Sprite-sheet animations: frame stepping at 60 frames per second, drawing each frame at its own size, and
// the files that cannot be loaded. What the parser makes of odd XML is in the table of test_values.
#include "Core/Core.h"
#include "Graphics/Animation.h"
#include "Graphics/Renderer.h"
#include "Graphics/Surface.h"
#include "support/ChildProcess.h"
#include "support/EngineHarness.h"
#include "support/Headless.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace engine_test;

namespace {

const Color kRed(255, 0, 0, 255), kGreen(0, 255, 0, 255), kMagenta(255, 0, 255, 255), kWhite(255, 255, 255, 255),
    kBackground(192, 192, 192, 255);

class AnimationTest : public ::testing::Test {
protected:
    // A 112 x 32 sheet: a red 32 x 32 frame, a green 48 x 32 frame, a blue 32 x 32 frame. The top-left pixel of
    // each is magenta, and the red frame's left column is white so that mirroring shows.
    void SetUp() override
    {
        startHeadlessCore();
        dir = scratchDirectory("animation");
        Surface surface(Size(112, 32));
        const std::tuple<int, int, Color> frames[] = {{0, 32, kRed}, {32, 48, kGreen}, {80, 32, Color(0, 0, 255, 255)}};
        for (const auto& [x, w, color] : frames) {
            SDL_Rect area{x, 0, w, 32};
            SDL_FillRect(surface.handle(), &area, color.map(surface.handle()->format));
            surface.setPixel(kMagenta, {x, 0});
        }
        for (int y = 1; y < 32; ++y)
            surface.setPixel(kWhite, {0, y});
        sheet = dir + "/sheet.png";
        EXPECT_EQ(IMG_SavePNG(surface.handle(), sheet.c_str()), 0);
        renderer().setTarget(Core::instance().renderTarget().handle());
        renderer().clear(kBackground);
    }

    static Renderer& renderer() { return Core::instance().renderer(); }

    // The three frames of the sheet, keyed magenta, with the given delay attribute.
    std::string threeFrames(const std::string& delayAttribute, const std::string& color = "#FF00FF") const
    {
        return writeFile(dir + "/three.xml",
            "<sheet image=\"" + sheet + "\" transparentColor=\"" + color + "\"><animation " + delayAttribute
                + R"( count="3"><frame x="0" y="0" width="32" height="32"/>)"
                  R"(<frame x="32" y="0" width="48" height="32"/><frame x="80" y="0" width="32" height="32"/>)"
                  R"(</animation></sheet>)");
    }

    // The frames shown after each of n updates, as digits.
    static std::string step(Animation& animation, int n)
    {
        std::string shown;
        for (int i = 0; i < n; ++i) {
            animation.update();
            shown += std::to_string(animation.current());
        }
        return shown;
    }

    static Color pixelAt(Point p) { return renderer().readPixels(Rect(p, Size(1, 1))).pixel(0, 0); }

    std::string dir;
    std::string sheet;
};

} // namespace

TEST_F(AnimationTest, FramesChangeAfterTheirDelayInWholeUpdatesAndAreDrawnAtTheirOwnSizeKeyedAndMirrored)
{
    // 100 ms is six frames and a part: each frame shows for seven updates. Without looping the last stays;
    // without a delay (or one shorter than a frame) every update shows the next frame. The count does not
    // limit the frames.
    const std::string five = writeFile(dir + "/five.xml",
        R"(<a><animation count="2"><f width="1" height="1"/><f width="2" height="1"/><f width="3" height="1"/>)"
        R"(<f width="4" height="1"/><f width="5" height="1"/></animation></a>)");
    const std::tuple<std::string, int, int, std::string> cases[]
        = {{"delay=\"100\"", 1, 28, "0000001111111222222200000001"},
            {"delay=\"100\"", 0, 24, "000000111111122222222222"}, {"delay=\"0\"", 1, 6, "120120"}, {"", 1, 6, "120120"},
            {"delay=\"16\"", 1, 6, "120120"}, {"delay=\"17\"", 1, 4, "0112"}, {"five", 1, 5, "12340"}};
    for (const auto& [delay, loop, updates, shown] : cases) {
        Animation animation(delay == "five" ? five : threeFrames(delay), loop, true);
        EXPECT_EQ(step(animation, updates), shown) << delay << " looping " << loop;
    }

    Animation animation(threeFrames("delay=\"100\""), 1);
    EXPECT_EQ(step(animation, 10), "0000001111"); // frame 1, three updates into its delay
    animation.reset();
    animation.setPosition({50, 50});
    animation.draw();
    EXPECT_TRUE(pixelAt({60, 60}) == kRed && step(animation, 7) == "0000001");
    // A copy shares the sheet but not the frame state.
    Animation copy = animation;
    EXPECT_EQ(step(copy, 7), "1111112");
    EXPECT_TRUE(animation.current() == 1u && copy.texture().handle() == animation.texture().handle());

    Animation fast(threeFrames("delay=\"0\""), 1);
    fast.setPosition({100, 100});
    fast.update(); // the 48-pixel green frame
    EXPECT_EQ(fast.rect().size(), Size(32, 32)); // the first frame's size stays the animation's
    fast.draw();
    const std::pair<Point, Color> pixels[] = {{{100, 100}, kBackground}, {{101, 110}, kGreen}, {{147, 131}, kGreen},
        {{148, 110}, kBackground}, {{110, 132}, kBackground}};
    for (const auto& [p, color] : pixels)
        EXPECT_EQ(pixelAt(p), color) << p; // the keyed corner, the frame, and beyond it
    fast.reset();
    fast.setPosition({200, 200});
    fast.drawFlipped(SDL_FLIP_HORIZONTAL);
    EXPECT_EQ(std::pair(pixelAt({231, 210}), pixelAt({200, 210})), std::pair(kWhite, kRed)); // the left column right
    for (const std::string& color : {std::string(""), std::string("PURPLE")}) {
        Animation unkeyed(threeFrames("delay=\"0\"", color), 1);
        unkeyed.setPosition({60, 10});
        unkeyed.draw();
        EXPECT_EQ(pixelAt({60, 10}), kMagenta) << color;
    }
}

TEST_F(AnimationTest, FilesThatCannotBeLoadedEndTheProgram)
{
    const std::string noFrames
        = writeFile(dir + "/no-frames.xml", "<a image=\"" + sheet + "\"><animation count=\"3\"/></a>");
    const std::string noAnimation = writeFile(dir + "/no-animation.xml", "<a image=\"" + sheet + "\"/>");
    const std::string missingImage = writeFile(dir + "/missing-image.xml",
        "<a image=\"" + dir + "/none.png\"><animation><f width=\"1\" height=\"1\"/></animation></a>");
    const std::string noImage
        = writeFile(dir + "/no-image.xml", "<a><animation><f width=\"1\" height=\"1\"/></animation></a>");
    const std::string noRoot = writeFile(dir + "/no-root.xml", "<?xml version=\"1.0\"?><!-- nothing but a comment -->");
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
