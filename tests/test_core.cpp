// The headless core: a frame's order, scene slots, the draw step's clears and stretch, the end on a close
// request, fatal errors; input across polls and the mouse in logical coordinates; sounds and music.
#include "Audio/Music.h"
#include "Audio/Sound.h"
#include "Core/Core.h"
#include "Graphics/FlatPicture.h"
#include "Graphics/Renderer.h"
#include "Graphics/Sprite.h"
#include "Graphics/Surface.h"
#include "Input/Input.h"
#include "Input/Window.h"
#include "support/EngineHarness.h"
#include "support/Headless.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <stdexcept>
#include <tuple>

using namespace engine_test;

namespace {

const Color kBackdrop{192, 192, 192, 255}, kBlack{0, 0, 0, 255}, kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255};
const Size kLogical{1024, 720};
using Log = std::vector<std::string>;

Core& core() { return Core::instance(); }
SceneManager& scenes() { return core().scenes(); }
Input& input() { return core().input(); }
Keyboard& keyboard() { return Core::keyboard(); }
Mouse& mouse() { return Core::mouse(); }

Image windowPixels()
{
    SDL_Texture* previous = core().renderer().target();
    core().renderer().setTarget(nullptr);
    Image image = core().renderer().readPixels();
    core().renderer().setTarget(previous);
    return image;
}

void pollHolding(std::initializer_list<SDL_Scancode> keys)
{
    Keyboard::State held{};
    for (const SDL_Scancode key : keys)
        held[key] = 1;
    keyboard().setScript(held);
    input().pollEvents();
}

void pollAfter(std::initializer_list<SDL_Event> events)
{
    for (SDL_Event event : events)
        SDL_PushEvent(&event);
    input().pollEvents();
}

SDL_Event wheel(int x, int y)
{
    SDL_Event event{.type = SDL_MOUSEWHEEL};
    event.wheel.x = x, event.wheel.y = y;
    return event;
}
SDL_Event windowEvent(uint8_t kind, int w = 0, int h = 0)
{
    SDL_Event event{.type = SDL_WINDOWEVENT};
    event.window.event = kind, event.window.data1 = w, event.window.data2 = h;
    return event;
}
SDL_Event text(const char* typed)
{
    SDL_Event event{.type = SDL_TEXTINPUT};
    std::strncpy(event.text.text, typed, sizeof event.text.text - 1);
    return event;
}

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
        keyboard().clearScript();
        if (input().textInput().isActive())
            input().textInput().stop();
        SDL_StartTextInput();
        input().pollEvents();
        input().pollEvents();
    }

    // A scene that writes "<name>.update" and "<name>.draw" into the log.
    Scene recording(const std::string& name)
    {
        return {[this, name] { log_.push_back(name + ".update"); }, [this, name] { log_.push_back(name + ".draw"); }};
    }

    Log log_;
};
using InputTest = CoreTest;

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
                                 scenes().setCurrentScene("arena");
                                 scenes().setGlobalScene(recording(tag));
                                 log_.push_back("replaced by " + tag);
                             },
        nullptr});
    core().runFrame();
    core().runFrame();
    EXPECT_EQ(log_,
        (Log{"menu.update", "replaced by next", "arena.draw", "next.draw", "arena.update", "next.update", "arena.draw",
            "next.draw"}));
}

TEST_F(CoreTest, TheTargetIsClearedGreyAndCopiedOneToOneOverTheRenderersRealOutputWhateverSizeWasAskedOf)
{
    core().runFrame();
    EXPECT_EQ(countPixels(core().captureFrame(), kBackdrop), kLogical.w * kLogical.h);
    scenes().setGlobalScene({nullptr, [] {
                                 core().renderer().fillRect({0, 0, 512, 720}, kRed);
                                 core().renderer().fillRect({1000, 700, 24, 20}, kBlue);
                             }});
    core().runFrame();
    const Image target = core().captureFrame();
    EXPECT_EQ(std::tuple(target.pixel(511, 0), target.pixel(512, 0), target.pixel(1023, 719)),
        std::tuple(kRed, kBackdrop, kBlue));
    EXPECT_TRUE(windowPixels().pixels == target.pixels && core().renderer().target() == nullptr)
        << "the window shows the target, and capturing changed nothing about where drawing goes";

    // A size the window never took (full screen with no window manager) is stored; the picture still fills
    // the renderer's real output.
    SDL_Event resized = windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1280, 800);
    SDL_PushEvent(&resized);
    core().runFrame();
    EXPECT_EQ(core().window().size(), (Size{1280, 800}));
    core().window().size() = kLogical;
    EXPECT_EQ(windowPixels().pixels, target.pixels);
}

TEST_F(CoreTest, RunEndsAfterTheFrameInWhichTheCloseRequestArrives)
{
    int updates = 0, draws = 0;
    scenes().setGlobalScene({[&updates] {
                                 // The request arrives during the third frame and is seen by the next poll.
                                 if (++updates == 3) {
                                     SDL_Event quit{.type = SDL_QUIT};
                                     SDL_PushEvent(&quit);
                                 }
                             },
        [&draws] { ++draws; }});
    core().setFps(1000);
    core().run();
    core().setFps(60);
    EXPECT_EQ(std::pair(updates, draws), std::pair(4, 4));
    EXPECT_FALSE(input().isRunning() || readFile("userData/systemInfo.txt").empty());
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
    EXPECT_NE(added.find("|ERROR| the disk went away\n"), std::string::npos) << added; // trimmed
}

// A second init replaces the window and renderer: in a child process, so that the other tests keep theirs.
TEST_F(CoreTest, WithoutATargetTheWindowItselfIsDrawnAndCaptured)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto drawWithoutTarget = [] {
        core().init("Duelfall direct", {320, 200}, false);
        scenes().setGlobalScene({nullptr, [] { core().renderer().fillRect({0, 0, 10, 10}, kRed); }});
        core().runFrame();
        const Image frame = core().captureFrame();
        const bool drawnThere = !core().usesRenderTarget() && core().renderTarget().isNull()
            && frame.size == Size{320, 200} && frame.pixel(5, 5) == kRed && frame.pixel(100, 100) == kBackdrop;
        std::exit(drawnThere ? 0 : 2);
    };
    EXPECT_EXIT(drawWithoutTarget(), ::testing::ExitedWithCode(0), "");
}

TEST_F(InputTest, AHeldKeyIsPressedInItsFirstFrameOnlyReleasedInTheFrameAfterAndModifiersGoByMask)
{
    pollHolding({});
    pollHolding({SDL_SCANCODE_D, SDL_SCANCODE_LSHIFT});
    EXPECT_TRUE(keyboard().isKeyPressed(SDL_SCANCODE_D) && keyboard().isKeyDown(SDL_SCANCODE_D)
        && !keyboard().isKeyReleased(SDL_SCANCODE_D));
    EXPECT_TRUE(keyboard().isKeyPressed(SDLK_d) && !keyboard().isKeyDown(SDLK_b)) << "SDLK_* values name scancodes";
    EXPECT_TRUE(
        keyboard().isModDown(KMOD_SHIFT) && keyboard().isModPressed(KMOD_SHIFT) && !keyboard().isModDown(KMOD_CTRL));
    // The other shift key: still a shift bit in both snapshots, so not pressed again.
    pollHolding({SDL_SCANCODE_D, SDL_SCANCODE_RSHIFT});
    EXPECT_FALSE(keyboard().isKeyPressed(SDL_SCANCODE_D) || keyboard().isModPressed(KMOD_SHIFT));
    EXPECT_TRUE(
        keyboard().isKeyDown(SDL_SCANCODE_D) && keyboard().isModDown(KMOD_SHIFT) && !keyboard().isModDown(KMOD_LSHIFT));
    pollHolding({});
    EXPECT_TRUE(keyboard().isKeyReleased(SDL_SCANCODE_D) && keyboard().isModReleased(KMOD_SHIFT)
        && !keyboard().isKeyDown(SDL_SCANCODE_D));
    pollHolding({});
    EXPECT_FALSE(keyboard().isKeyReleased(SDL_SCANCODE_D) || keyboard().isModReleased(KMOD_SHIFT));

    // Scancodes outside the snapshot read as up.
    Keyboard::State held;
    held.fill(1);
    keyboard().setScript(held);
    input().pollEvents();
    input().pollEvents();
    EXPECT_TRUE(keyboard().isKeyDown(static_cast<SDL_Scancode>(511)));
    for (const int code : {-1, 512, 100000}) {
        const auto key = static_cast<SDL_Scancode>(code);
        EXPECT_FALSE(keyboard().isKeyDown(key) || keyboard().isKeyPressed(key) || keyboard().isKeyReleased(key));
    }
    keyboard().clearScript(); // SDL's own keyboard: no key held, and its modifiers
    SDL_SetModState(KMOD_LCTRL);
    input().pollEvents();
    EXPECT_TRUE(
        keyboard().isModDown(KMOD_CTRL) && !keyboard().isModDown(KMOD_SHIFT) && !keyboard().isKeyDown(SDL_SCANCODE_D));
    SDL_SetModState(KMOD_NONE);
}

TEST_F(InputTest, WheelFocusResizeAndTypedTextLastOnePollAndTheMouseIsReadInLogicalCoordinates)
{
    pollAfter({wheel(0, 1), wheel(2, -3), windowEvent(SDL_WINDOWEVENT_FOCUS_LOST), text("lost")});
    EXPECT_EQ(mouse().wheel(), (Point{2, -3})) << "the last event of a poll";
    EXPECT_TRUE(mouse().isWheelDown() && !mouse().isWheelUp() && !input().isFocused() && input().lostFocus());
    const auto before = logSize();
    pollAfter(
        {wheel(0, 4), windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED), windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600)});
    EXPECT_TRUE(mouse().isWheelUp() && input().isFocused() && input().wasResized());
    EXPECT_TRUE(core().window().size() == Size(800, 600)
        && logSince(before).find("|INFO| Orientation changes\n") != std::string::npos);
    pollAfter({});
    EXPECT_FALSE(mouse().wheel() != Point() || mouse().isWheelUp() || mouse().isWheelDown() || input().wasResized());
    pollAfter({windowEvent(SDL_WINDOWEVENT_HIDDEN)});
    EXPECT_TRUE(input().lostFocus() && input().isFocused()) << "a hidden page is left, as on a focus loss";

    // Typed text is collected only while active.
    TextInput& typing = input().textInput();
    ASSERT_FALSE(typing.isActive());
    typing.start();
    pollAfter({text("Due"), text("l")});
    pollAfter({text("fall \xc3\xa9")});
    const std::string typed = typing.takeText();
    EXPECT_EQ(typed + "|" + typing.takeText(), "Duelfall \xc3\xa9|");
    typing.stop();

    core().window().setSize({2048, 1440});
    warpMouse({512, 360});
    input().pollEvents();
    warpMouse({500, 100});
    input().pollEvents();
    EXPECT_EQ(std::pair(mouse().position(), mouse().previousPosition()), std::pair(Point{500, 100}, Point{512, 360}));
    EXPECT_TRUE(mouse().movedUp() && !mouse().movedDown());
    for (const int button : {-1, 0, 1, 33}) // none held, and numbers outside SDL's mask never are
        EXPECT_FALSE(
            mouse().isButtonDown(button) || mouse().isButtonPressed(button) || mouse().isButtonReleased(button));
    core().window().setSize(kLogical);
}

} // namespace

// The drawing shortcuts change no pixel: a clear held back until something needs it (and dropped under an
// opaque picture that hides the whole target), and layers flattened once into a picture of their own.
TEST(DrawShortcuts, EveryPictureIsTheOneTheDrawingWithoutShortcutsGives)
{
    startHeadlessCore();
    Renderer& r = core().renderer();
    SDL_Texture* const previous = r.target();
    const Rect whole{{0, 0}, {64, 48}};
    Texture target(whole.size()), other(whole.size()), opaque("data/img/bg.png"), seeThrough("data/img/bullet.png");
    ASSERT_TRUE(opaque.isOpaque() && !seeThrough.isOpaque());
    // The target painted green, cleared red (held back, or at once through SDL), the steps; read back.
    const auto drawn = [&](bool heldBack, const std::function<void()>& steps) {
        r.setTarget(target.handle());
        r.fillRect(whole, kBlue);
        heldBack ? r.clear(kRed) : (r.setDrawColor(kRed), (void)SDL_RenderClear(r.handle()));
        steps();
        r.setScale(1, 1);
        std::vector<uint32_t> pixels = r.readPixels().pixels;
        Color color;
        SDL_GetRenderDrawColor(r.handle(), &color.r, &color.g, &color.b, &color.a);
        pixels.push_back(color.r << 24 | color.g << 16 | color.b << 8 | color.a);
        return pixels;
    };
    const auto alpha = [&](uint8_t a) { opaque.setAlpha(a); };
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"translucent", [&] { alpha(128), r.copy(opaque, whole), alpha(255); }},
        {"added", [&] { opaque.setBlendMode(SDL_BLENDMODE_ADD), r.copy(opaque, whole), alpha(255); }},
        {"transparent pixels", [&] { r.copy(seeThrough, whole); }},
        {"scaled down", [&] { r.setScale(0.5f, 0.5f), r.copy(opaque, whole); }},
        {"scaled down in a viewport as large as the target",
            [&] {
                r.setScale(0.5f, 0.5f);
                SDL_RenderSetViewport(r.handle(), whole.sdl());
                r.copy(opaque, whole);
                SDL_RenderSetViewport(r.handle(), nullptr);
            }},
        {"scaled up",
            [&] {
                r.setScale(2, 2);
                r.copy(opaque, {{16, 0}, whole.size()});
            }},
        {"turned", [&] { r.copyEx(opaque, whole, std::nullopt, 90, SDL_FLIP_NONE); }},
        {"nothing drawn", [] {}},
        {"a colour set", [&] { r.setDrawColor(kBlack); }},
        {"a colour set, then a copy",
            [&] {
                r.setDrawColor(kBlack);
                r.copy(seeThrough, {{8, 8}, {16, 16}});
            }},
        {"a line of SDL's own", [&] { r.setDrawColor(kBlack), SDL_RenderDrawLine(r.handle(), 0, 0, 63, 0); }},
        {"a point",
            [&] {
                r.drawPoint({3, 3}, kBlack);
            }},
        {"another target in between",
            [&] { r.setTarget(other.handle()), r.drawPoint({}, kBlack), r.setTarget(target.handle()); }},
    };
    for (const auto& [what, steps] : cases)
        EXPECT_TRUE(drawn(true, steps) == drawn(false, steps)) << what;
    // Opaque copies that hide the whole target, and ones that leave a row or a column, or cut the source.
    const std::tuple<const char*, Rect, std::optional<Rect>> copies[]
        = {{"over all", whole, {}}, {"beyond every edge", {{-5, -5}, {80, 60}}, {}},
            {"a column short", {{0, 0}, {63, 48}}, {}}, {"a row short", {{0, 0}, {64, 47}}, {}},
            {"moved right", {{1, 0}, whole.size()}, {}}, {"moved down", {{0, 1}, whole.size()}, {}},
            {"a source out of the picture", whole, Rect{{-64, 0}, whole.size()}},
            {"a source inside the picture", whole, Rect{{100, 100}, whole.size()}}};
    for (const auto& [what, destination, source] : copies) {
        const auto steps = [&] { r.copy(opaque, destination, source); };
        EXPECT_TRUE(drawn(true, steps) == drawn(false, steps)) << what;
    }

    Sprite bottom(opaque, {0, 0}), top(Texture("data/img/gameover_overlay.png"), {0, 0});
    bottom.rect() = top.rect() = whole;
    FlatPicture flat;
    const auto layered = [&](bool flattened) {
        return drawn(true, [&] { flattened ? flat.draw({&bottom, &top}) : (bottom.draw(), top.draw()); });
    };
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"as loaded", [] {}},
        {"again", [] {}},
        {"another top picture", [&] { top.setTexture(Texture("data/img/victory_overlay.png")), top.rect() = whole; }},
        {"the top added", [&] { top.texture().setBlendMode(SDL_BLENDMODE_ADD); }},
        {"the top translucent", [&] { top.texture().setAlpha(uint8_t{100}); }},
        {"the top moved", [&] { top.texture().setAlpha(uint8_t{255}), top.rect().x = 7; }},
        {"the bottom tinted", [&] { top.rect().x = 0, opaque.setColorMod(200, 100, 50); }},
        {"the bottom cut",
            [&] {
                opaque.setColorMod(255, 255, 255), bottom.clip() = Rect{{0, 0}, {32, 24}};
            }},
        {"a bottom with transparent pixels", [&] { bottom.clip().reset(), bottom.setTexture(seeThrough); }},
    };
    for (const auto& [what, change] : changes) {
        change();
        bottom.rect() = whole;
        EXPECT_TRUE(layered(true) == layered(false)) << what;
    }
    r.setTarget(previous);
}

// Bad sound files are in test_misuse.
TEST(Audio, ASoundMovesItsOneChunkAndMusicStartsOnceHoweverOftenItIsPlayed)
{
    startHeadlessCore();
    Sound sound("data/sfx/playerShoot.wav");
    Mix_Chunk* chunk = sound.handle();
    Sound moved(std::move(sound));
    EXPECT_TRUE(moved.handle() == chunk && sound.handle() == nullptr); // NOLINT(bugprone-use-after-move)
    moved.play();
    EXPECT_GE(Mix_Playing(-1), 1);
    Mix_HaltChannel(-1);

    Music music("data/sfx/explode.wav");
    music.play(-1);
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    // Stopped from outside, it is not started again by later calls, as if every frame asked.
    Mix_HaltMusic();
    music.play(-1);
    EXPECT_TRUE(Mix_PlayingMusic() == 0 && music.wasPlayed());
}
