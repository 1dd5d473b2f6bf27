// The core: the order of a frame, scene slots and names, the draw step's clears and stretch, the
// frame loop's end on a close request, and fatal errors.
#include "Core/Core.h"
#include "Graphics/Renderer.h"
#include "Input/Window.h"
#include "support/EngineHarness.h"
#include "support/Headless.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace engine_test;

namespace {

const Color kBackdrop{192, 192, 192, 255};
const Color kBlack{0, 0, 0, 255};
const Color kRed{255, 0, 0, 255};
const Color kBlue{0, 0, 255, 255};
const Size kLogical{1024, 720};
using Log = std::vector<std::string>;

class CoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        startHeadlessCore();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void TearDown() override
    {
        scenes().currentScene().reset();
        scenes().globalScene().reset();
    }

    static Core& core() { return Core::instance(); }
    static SceneManager& scenes() { return core().scenes(); }

    // A scene that writes "<name>.update" and "<name>.draw" into the log.
    Scene recording(const std::string& name)
    {
        return {[this, name] { log_.push_back(name + ".update"); }, [this, name] { log_.push_back(name + ".draw"); }};
    }

    // The window's pixels as the last frame left them.
    static Image windowPixels()
    {
        Renderer& renderer = core().renderer();
        SDL_Texture* previous = renderer.target();
        renderer.setTarget(nullptr);
        Image image = renderer.readPixels();
        renderer.setTarget(previous);
        return image;
    }

    Log log_;
};

TEST_F(CoreTest, EachFrameUpdatesBeforeDrawingTheCurrentSceneBeforeTheGlobalAndACallbackMayReplaceItsSlot)
{
    scenes().addScene("menu", recording("menu"));
    scenes().addScene("menu", recording("second")); // the first of a name is kept
    scenes().addScene("arena", recording("arena"));
    scenes().setCurrentScene("menu");
    scenes().setGlobalScene(recording("game"));
    EXPECT_THROW(scenes().scene("missing"), std::out_of_range);
    EXPECT_THROW(scenes().setCurrentScene("missing"), std::out_of_range) << "leaving the slots";
    core().runFrame();
    EXPECT_EQ(log_, (Log{"menu.update", "game.update", "menu.draw", "game.draw"}));

    // A scene change made by an update is drawn in the same frame; empty callbacks are skipped. The lambda's
    // captures live in the slot it replaces: the frame must run it from a copy.
    log_.clear();
    const std::string tag = "next";
    scenes().setGlobalScene({[this, tag] {
                                 Core::instance().scenes().setCurrentScene("arena");
                                 Core::instance().scenes().setGlobalScene(recording(tag));
                                 log_.push_back("replaced by " + tag);
                             },
        nullptr});
    core().runFrame();
    core().runFrame();
    EXPECT_EQ(log_,
        (Log{"menu.update", "replaced by next", "arena.draw", "next.draw", "arena.update", "next.update", "arena.draw",
            "next.draw"}));
}

TEST_F(CoreTest, TheTargetIsClearedGreyAndCopiedOneToOneIntoAWindowOfTheLogicalSize)
{
    core().runFrame();
    const Image empty = core().captureFrame();
    ASSERT_EQ(empty.size, kLogical);
    EXPECT_EQ(countPixels(empty, kBackdrop), kLogical.w * kLogical.h);

    scenes().setGlobalScene({nullptr, [] {
                                 Renderer& renderer = Core::instance().renderer();
                                 renderer.fillRect({0, 0, 10, 10}, kRed);
                                 renderer.fillRect({1014, 710, 10, 10}, kBlue);
                             }});
    core().runFrame();
    const Image target = core().captureFrame();
    EXPECT_EQ(target.pixel(0, 0), kRed);
    EXPECT_EQ(target.pixel(10, 10), kBackdrop);
    EXPECT_EQ(target.pixel(1023, 719), kBlue);
    EXPECT_EQ(windowPixels().pixels, target.pixels);
    EXPECT_EQ(core().renderer().target(), nullptr) << "capturing changed nothing about where drawing goes";
}

TEST_F(CoreTest, TheTargetIsStretchedOverTheWindowsStoredSizeOnBlack)
{
    // The headless window's surface keeps its first size, so the stored size is halved instead: the
    // target is then squeezed into the top-left quarter and the rest of the window stays black.
    Window& window = core().window();
    window.size() = {512, 360};
    scenes().setGlobalScene({nullptr, [] {
                                 Renderer& renderer = Core::instance().renderer();
                                 renderer.fillRect({0, 0, 512, 720}, kRed);
                                 renderer.fillRect({1000, 700, 24, 20}, kBlue);
                             }});
    core().runFrame();
    window.size() = kLogical;

    const Image image = windowPixels();
    ASSERT_EQ(image.size, kLogical);
    const std::pair<Point, Color> expected[]
        = {{{0, 0}, kRed}, {{255, 359}, kRed}, {{256, 0}, kBackdrop}, {{499, 349}, kBackdrop}, {{500, 350}, kBlue},
            {{511, 359}, kBlue}, {{512, 0}, kBlack}, {{0, 360}, kBlack}, {{1023, 719}, kBlack}};
    for (const auto& [p, color] : expected)
        EXPECT_EQ(image.pixel(p.x, p.y), color) << p;
}

TEST_F(CoreTest, RunEndsAfterTheFrameInWhichTheCloseRequestArrives)
{
    int updates = 0;
    int draws = 0;
    scenes().setGlobalScene({[&updates] {
                                 // The request arrives during the third frame and is seen by the next poll.
                                 if (++updates == 3) {
                                     SDL_Event quit{};
                                     quit.type = SDL_QUIT;
                                     SDL_PushEvent(&quit);
                                 }
                             },
        [&draws] { ++draws; }});
    core().setFps(1000);
    core().run();
    core().setFps(60);
    EXPECT_EQ(updates, 4);
    EXPECT_EQ(draws, 4);
    EXPECT_FALSE(core().input().isRunning());
    EXPECT_FALSE(readFile("userData/systemInfo.txt").empty());
    EXPECT_EQ(askInformation("Duelfall", "Again?", {"Yes", "No"}), -1) << "no box can be shown headless";
}

TEST_F(CoreTest, FatalErrorLogsBothLinesAndExitsWithStatusOne)
{
    const std::string added = expectFatal(
        [] {
            SDL_SetError("  the disk went away \n");
            fatalError("Sound data/boom.wav failed load!");
        },
        "Sound data/boom.wav failed load!");
    const size_t first = added.find("|ERROR| Sound data/boom.wav failed load!\n");
    EXPECT_NE(added.find("|ERROR| the disk went away\n", first), std::string::npos) << added;
}

// Re-initialises the core without a render target, draws one frame and exits with 0 when the frame
// went to the window and was captured from there.
[[noreturn]] void drawWithoutTarget()
{
    Core& core = Core::instance();
    core.init("Duelfall direct", {320, 200}, false);
    core.scenes().setGlobalScene({nullptr, [] { Core::instance().renderer().fillRect({0, 0, 10, 10}, kRed); }});
    core.runFrame();
    const Image frame = core.captureFrame();
    const bool ok = !core.usesRenderTarget() && core.renderTarget().isNull() && frame.size == Size{320, 200}
        && frame.pixel(5, 5) == kRed && frame.pixel(100, 100) == kBackdrop;
    std::exit(ok ? 0 : 2);
}

TEST_F(CoreTest, WithoutATargetTheWindowItselfIsDrawnAndCaptured)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // A second init replaces the window and renderer: done in a child process so the others keep theirs.
    EXPECT_EXIT(drawWithoutTarget(), ::testing::ExitedWithCode(0), "");
}

} // namespace
