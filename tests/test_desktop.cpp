// What a desktop game does around the fight: pause, play again after the victory, full screen with
// letterboxing, game controllers. Driven by real SDL events (pushed key and window events, virtual
// game controllers), read back from the game's state and the render target.

#include "Bullet.h"
#include "Core/Core.h"
#include "GameFrame.h"
#include "GameSession.h"
#include "GamepadKeys.h"
#include "Graphics/Letterbox.h"
#include "Graphics/Renderer.h"
#include "Input/CoordinateMapping.h"
#include "Input/Input.h"
#include "Input/Window.h"
#include "Math/Random.h"
#include "World.h"
#include "WorldState.h"
#include "support/Headless.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace {

constexpr uint32_t kSeed = 20261207;

// The game as main() runs it: a world, its recording session as the global scene, a fixed seed.
struct Game {
    World world;
    GameSession session{world, std::nullopt};

    Game()
    {
        Core::instance().scenes().setGlobalScene(session.scene());
        Random::seed(kSeed);
        Core::keyboard().setScript(Keyboard::State{});
    }
    ~Game() { Core::instance().scenes().setGlobalScene(Scene({}, {})); }

    void frames(int count)
    {
        for (int i = 0; i < count; ++i)
            Core::instance().runFrame();
    }
};

void pushEvent(SDL_Event event)
{
    event.common.timestamp = SDL_GetTicks();
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

void pushKey(SDL_Scancode key, uint16_t mod = KMOD_NONE)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.windowID = SDL_GetWindowID(Core::instance().window().handle());
    event.key.state = SDL_PRESSED;
    event.key.keysym.scancode = key;
    event.key.keysym.sym = SDL_GetKeyFromScancode(key);
    event.key.keysym.mod = mod;
    pushEvent(event);
}

void pushFocusLost()
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(Core::instance().window().handle());
    event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    pushEvent(event);
}

GameKeys keysOf(std::initializer_list<GameKey> held)
{
    GameKeys keys;
    for (GameKey key : held)
        keys.set(key, true);
    return keys;
}

// The keys held in the n-th frame that is played (not paused): running right and firing, with two jumps.
GameKeys scriptedKeys(int played)
{
    if ((played >= 20 && played < 45) || (played >= 90 && played < 96))
        return keysOf({GameKey::Right, GameKey::Fire, GameKey::Jump});
    return keysOf({GameKey::Right, GameKey::Fire});
}

// Plays `played` frames with the scripted keys; before the wall-clock frame n the events of n are
// pushed. Returns the world's checksum after each played frame.
std::vector<uint32_t> playWithEvents(int played, const std::map<int, std::function<void()>>& events)
{
    Game game;
    std::vector<uint32_t> trace;
    for (int wall = 1; static_cast<int>(trace.size()) < played && wall < 10 * played; ++wall) {
        Core::keyboard().setScript(keyboardStateOf(scriptedKeys(static_cast<int>(trace.size()) + 1)));
        if (const auto event = events.find(wall); event != events.end())
            event->second();
        game.frames(1);
        if (!game.session.isPaused())
            trace.push_back(worldStateOf(game.world).checksum);
    }
    return trace;
}

double meanBrightness(const Image& image, const Rect& area)
{
    long sum = 0;
    for (int y = area.y; y < area.bottom(); ++y)
        for (int x = area.x; x < area.right(); ++x) {
            const Color c = image.pixel(x, y);
            sum += c.r + c.g + c.b;
        }
    return static_cast<double>(sum) / (3.0 * area.w * area.h);
}

int whitePixels(const Image& image, const Rect& area)
{
    int count = 0;
    for (int y = area.y; y < area.bottom(); ++y)
        for (int x = area.x; x < area.right(); ++x) {
            const Color c = image.pixel(x, y);
            count += (c.r > 240 && c.g > 240 && c.b > 240) ? 1 : 0;
        }
    return count;
}

// Both bosses beaten the quick way: a bullet put where the boss will be in every frame it can be hit.
void defeatBothBosses(Game& game)
{
    static const Bullet prototype("data/img/bullet.png", {0, 0}, Bullet::kRight);
    const auto shootAt = [&](Rect target) {
        Bullet bullet = prototype;
        bullet.setVdir(Bullet::kStraightUp);
        bullet.setPosition(
            {target.center().x - Bullet::kSize / 2, target.center().y + Bullet::kStep - Bullet::kSize / 2});
        game.world.player.getBullets().push_back(bullet);
    };
    while (!game.world.boss01.isFinished()) {
        if (!game.world.boss01.isDead())
            shootAt(game.world.boss01.hitbox());
        game.frames(1);
    }
    while (!game.world.boss02.isFinished()) {
        Boss02& boss = game.world.boss02;
        if (!boss.isDead() && !boss.isTransforming()) {
            Rect next = boss.rect();
            next.y += boss.directionY() == 1 ? 3 : -3;
            shootAt(next);
        }
        game.frames(1);
    }
}

bool isGold(Color c) { return c.r > 150 && c.g > 90 && c.b < 120; }

class Desktop : public testing::Test {
protected:
    void SetUp() override { startHeadlessCore(); }
};

TEST_F(Desktop, PausedFramesLeaveNoTraceAndResumingGoesOnFrameForFrame)
{
    const std::vector<uint32_t> straight = playWithEvents(120, {});
    // Each way in and out of the pause, once: Esc, P, a lost focus, and keys pressed while paused.
    const std::map<int, std::function<void()>> pauses{
        {10, [] { pushKey(SDL_SCANCODE_ESCAPE); }},
        {14, [] { pushKey(SDL_SCANCODE_ESCAPE); }},
        {30, [] { pushKey(SDL_SCANCODE_P); }},
        {31, [] { pushKey(SDL_SCANCODE_SPACE); }},
        {40, [] { pushKey(SDL_SCANCODE_P); }},
        {70, pushFocusLost},
        {71, pushFocusLost},
        {90, [] { pushKey(SDL_SCANCODE_ESCAPE); }},
    };
    const std::vector<uint32_t> paused = playWithEvents(120, pauses);
    ASSERT_EQ(paused.size(), straight.size());
    EXPECT_EQ(paused, straight);
}

TEST_F(Desktop, WhilePausedNothingMovesTheMusicHoldsAndTheLastPictureIsDimmedUnderPaused)
{
    Game game;
    Core::keyboard().setScript(keyboardStateOf(keysOf({GameKey::Left, GameKey::Fire})));
    game.frames(30);
    const Image played = Core::instance().captureFrame();
    const WorldState before = worldStateOf(game.world);
    ASSERT_EQ(Mix_PausedMusic(), 0);

    pushKey(SDL_SCANCODE_ESCAPE);
    game.frames(25);
    EXPECT_TRUE(game.session.isPaused());
    EXPECT_EQ(worldStateOf(game.world).checksum, before.checksum) << "no update ran";
    EXPECT_EQ(Mix_PausedMusic(), 1);
    const Image paused = Core::instance().captureFrame();
    // Dimmed: the arena's sky keeps less than half of its light; the title and the keys are white.
    const Rect sky{0, 0, 1024, 120};
    EXPECT_LT(meanBrightness(paused, sky), 0.5 * meanBrightness(played, sky));
    EXPECT_GT(meanBrightness(paused, sky), 0.2 * meanBrightness(played, sky)) << "the picture is still seen";
    EXPECT_GT(whitePixels(paused, {380, 290, 264, 70}), 500) << "Paused";
    EXPECT_GT(whitePixels(paused, {200, 380, 624, 30}), 300) << "the keys";
    EXPECT_LT(whitePixels(played, {380, 290, 264, 70}), 100) << "the title is the overlay's, not the arena's";

    pushKey(SDL_SCANCODE_P);
    game.frames(1);
    EXPECT_FALSE(game.session.isPaused());
    EXPECT_EQ(Mix_PausedMusic(), 0);
    EXPECT_NE(worldStateOf(game.world).checksum, before.checksum);

    // Q quits only while paused, and then the way closing the window does (the frame loop ends).
    Input& input = Core::instance().input();
    pushKey(SDL_SCANCODE_Q);
    game.frames(1);
    EXPECT_TRUE(input.isRunning());
    pushKey(SDL_SCANCODE_ESCAPE);
    game.frames(1);
    pushKey(SDL_SCANCODE_Q);
    game.frames(1);
    EXPECT_FALSE(input.isRunning());
}

TEST_F(Desktop, FullScreenTogglesOnF11AndAltEnterAndThePictureKeepsItsShape)
{
    Game game;
    Window& window = Core::instance().window();
    struct Toggle {
        SDL_Scancode key;
        uint16_t mod;
        bool fullscreen;
    };
    for (const Toggle& toggle : {Toggle{SDL_SCANCODE_F11, KMOD_NONE, true}, Toggle{SDL_SCANCODE_F11, KMOD_NONE, false},
             Toggle{SDL_SCANCODE_RETURN, KMOD_LALT, true}, Toggle{SDL_SCANCODE_KP_ENTER, KMOD_RALT, false},
             Toggle{SDL_SCANCODE_RETURN, KMOD_NONE, false}}) {
        pushKey(toggle.key, toggle.mod);
        game.frames(1);
        EXPECT_EQ(window.isFullscreen(), toggle.fullscreen) << SDL_GetScancodeName(toggle.key) << " mod " << toggle.mod;
    }
    if (window.isFullscreen())
        window.toggleDesktopFullscreen();

    // Scaled to fit, centred, the rest black bars; the mouse maps through the same rectangle.
    struct Box {
        Size window;
        Rect picture;
    };
    for (const Box& box : {Box{{1024, 720}, {0, 0, 1024, 720}}, Box{{2048, 1440}, {0, 0, 2048, 1440}},
             Box{{1280, 800}, {71, 0, 1137, 800}}, Box{{1024, 1024}, {0, 152, 1024, 720}},
             Box{{512, 720}, {0, 180, 512, 360}}, Box{{0, 720}, {0, 0, 0, 0}}}) {
        EXPECT_EQ(letterbox({1024, 720}, box.window), box.picture) << box.window.w << "x" << box.window.h;
    }
    window.setSize({1280, 800});
    game.frames(2);
    EXPECT_EQ(toLogical(Point{71, 0}), (Point{0, 0}));
    EXPECT_EQ(toLogical(Point{640, 400}), (Point{512, 360}));
    EXPECT_EQ(toWindow(Point{1024, 720}), (Point{1208, 800}));
    // The window itself: black bars at the sides, the arena between them.
    Renderer& renderer = Core::instance().renderer();
    renderer.setTarget(nullptr);
    const Image shown = renderer.readPixels();
    window.setSize({1024, 720});
    game.frames(1);
    ASSERT_EQ(shown.size, (Size{1280, 800}));
    EXPECT_EQ(meanBrightness(shown, {0, 0, 70, 800}), 0.0);
    EXPECT_EQ(meanBrightness(shown, {1209, 0, 71, 800}), 0.0);
    EXPECT_GT(meanBrightness(shown, {72, 0, 1136, 800}), 20.0);
}

TEST_F(Desktop, OnceTheVictoryTextIsWholeEnterPlaysAgainAndTheTextStaysWhole)
{
    Game game;
    defeatBothBosses(game);
    const Rect line = game.world.playAgainText.rect();
    const auto enter
        = [](bool held) { Core::keyboard().setScript(keyboardStateOf(held ? keysOf({GameKey::Enter}) : GameKeys{})); };

    // Enter does nothing while the text is still growing, and the line is not there yet.
    enter(true);
    game.frames(10);
    EXPECT_TRUE(game.world.boss02.isFinished());
    EXPECT_LT(whitePixels(Core::instance().captureFrame(), line), 20);
    enter(false);
    game.frames(280);
    const Image whole = Core::instance().captureFrame();
    EXPECT_EQ(game.world.victoryText.text(), game.world.victoryMessage);
    EXPECT_GT(whitePixels(whole, line), 200) << "Press Enter to play again";
    // The banner's frame closes inside the screen, around the message and the line.
    const Rect message = game.world.victoryText.rect();
    for (int y = message.y; y < line.bottom(); ++y) {
        ASSERT_TRUE(isGold(whole.pixel(1021, y))) << "right side of the frame at y " << y;
        ASSERT_FALSE(isGold(whole.pixel(1023, y))) << "nothing runs on past it, y " << y;
        ASSERT_TRUE(isGold(whole.pixel(86, y))) << "left side at y " << y;
    }
    EXPECT_LT(message.right(), 1020);
    EXPECT_GT(message.x, 88);

    enter(true);
    game.frames(1);
    EXPECT_FALSE(game.world.boss01.isFinished());
    EXPECT_FALSE(game.world.boss02.isFinished());
    EXPECT_EQ(game.world.boss01.rect(), Rect(400, 30, 170, 104));
    EXPECT_EQ(game.world.player.getHealth(), Player::kMaxHealth);
    EXPECT_EQ(game.world.victoryText.text(), game.world.victoryMessage) << "not reset: a second victory shows it whole";
}

// A pad plugged in through SDL's virtual joysticks, seen by the game as a real game controller.
class VirtualPad {
public:
    VirtualPad()
    {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "Duelfall test pad";
        index_ = SDL_JoystickAttachVirtualEx(&desc);
        joystick_ = SDL_JoystickOpen(index_);
        EXPECT_NE(joystick_, nullptr) << SDL_GetError();
        id_ = SDL_JoystickInstanceID(joystick_);
    }
    ~VirtualPad() { unplug(); }
    void unplug()
    {
        if (joystick_ == nullptr)
            return;
        SDL_JoystickClose(joystick_);
        joystick_ = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id_)
                SDL_JoystickDetachVirtual(i);
    }
    void button(SDL_GameControllerButton b, bool down) { SDL_JoystickSetVirtualButton(joystick_, b, down ? 1 : 0); }
    void axis(SDL_GameControllerAxis a, int16_t value) { SDL_JoystickSetVirtualAxis(joystick_, a, value); }
    void release()
    {
        for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b)
            button(static_cast<SDL_GameControllerButton>(b), false);
        // A virtual trigger at rest is the raw axis at its minimum (SDL reads -32768..32767 as 0..32767).
        for (int a = 0; a < SDL_CONTROLLER_AXIS_MAX; ++a) {
            const bool trigger = a == SDL_CONTROLLER_AXIS_TRIGGERLEFT || a == SDL_CONTROLLER_AXIS_TRIGGERRIGHT;
            axis(static_cast<SDL_GameControllerAxis>(a), trigger ? SDL_JOYSTICK_AXIS_MIN : 0);
        }
    }

private:
    int index_ = -1;
    SDL_Joystick* joystick_ = nullptr;
    SDL_JoystickID id_ = -1;
};

TEST_F(Desktop, APadPluggedInMidGamePlaysLikeTheKeyboardAndCanBeUnpluggedAgain)
{
    // An offscreen window never has the keyboard focus, and SDL ignores pads of a window without it.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    Game game;
    Core::keyboard().clearScript();
    game.frames(60);
    const GameControllers& pads = Core::instance().input().controllers();
    ASSERT_EQ(pads.count(), 0u);
    auto pad = std::make_unique<VirtualPad>();
    game.frames(2);
    ASSERT_EQ(pads.count(), 1u) << "connected mid-game";

    constexpr auto none = SDL_CONTROLLER_BUTTON_INVALID;
    constexpr auto noAxis = SDL_CONTROLLER_AXIS_INVALID;
    struct Case {
        SDL_GameControllerButton button;
        SDL_GameControllerAxis axis;
        int16_t value;
        GameKeys keys;
    };
    const Case cases[] = {
        {none, SDL_CONTROLLER_AXIS_LEFTX, 20000, keysOf({GameKey::Right})},
        {none, SDL_CONTROLLER_AXIS_LEFTX, -32768, keysOf({GameKey::Left})},
        {none, SDL_CONTROLLER_AXIS_LEFTX, kStickDeadZone, {}},
        {none, SDL_CONTROLLER_AXIS_LEFTY, -kStickDeadZone, {}},
        {none, SDL_CONTROLLER_AXIS_LEFTY, -20000, keysOf({GameKey::Up})},
        {none, SDL_CONTROLLER_AXIS_LEFTY, 20000, keysOf({GameKey::Down})},
        {none, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 30000, keysOf({GameKey::Fire})},
        {none, SDL_CONTROLLER_AXIS_RIGHTX, 30000, {}},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, noAxis, 0, keysOf({GameKey::Left})},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, noAxis, 0, keysOf({GameKey::Right})},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, noAxis, 0, keysOf({GameKey::Up})},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, noAxis, 0, keysOf({GameKey::Down})},
        {SDL_CONTROLLER_BUTTON_A, noAxis, 0, keysOf({GameKey::Jump})},
        {SDL_CONTROLLER_BUTTON_X, noAxis, 0, keysOf({GameKey::Fire})},
        {SDL_CONTROLLER_BUTTON_B, noAxis, 0, {}},
        {SDL_CONTROLLER_BUTTON_Y, noAxis, 0, {}},
    };
    for (const Case& c : cases) {
        if (c.button != none)
            pad->button(c.button, true);
        else
            pad->axis(c.axis, c.value);
        game.frames(1);
        EXPECT_EQ(readFrameKeys(), c.keys) << "button " << c.button << " axis " << c.axis << " at " << c.value;
        pad->release();
        game.frames(1);
    }

    // The game itself: the stick runs right, A held longer jumps higher.
    const int startX = game.world.player.rect().x;
    pad->axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    game.frames(20);
    pad->release();
    EXPECT_GT(game.world.player.rect().x, startX + 40);
    const auto jumpPeak = [&](int held) {
        game.frames(60);
        const int floor = game.world.player.rect().y;
        int peak = floor;
        pad->button(SDL_CONTROLLER_BUTTON_A, true);
        for (int i = 0; i < 60; ++i) {
            if (i == held)
                pad->button(SDL_CONTROLLER_BUTTON_A, false);
            game.frames(1);
            peak = std::min(peak, game.world.player.rect().y);
        }
        return floor - peak;
    };
    const int shortJump = jumpPeak(3);
    const int longJump = jumpPeak(30);
    EXPECT_GT(shortJump, 0);
    EXPECT_GT(longJump, shortJump);

    // Start pauses the fight and resumes it.
    pad->button(SDL_CONTROLLER_BUTTON_START, true);
    game.frames(2);
    EXPECT_TRUE(game.session.isPaused());
    pad->button(SDL_CONTROLLER_BUTTON_START, false);
    game.frames(1);
    pad->button(SDL_CONTROLLER_BUTTON_START, true);
    game.frames(1);
    EXPECT_FALSE(game.session.isPaused());
    pad->release();

    // Unplugged mid-game: the keyboard plays on, and a pad plugged in again is seen again.
    pad->unplug();
    game.frames(2);
    EXPECT_EQ(pads.count(), 0u);
    Core::keyboard().setScript(keyboardStateOf(keysOf({GameKey::Left})));
    const int beforeLeft = game.world.player.rect().x;
    game.frames(5);
    EXPECT_LT(game.world.player.rect().x, beforeLeft);
    pad = std::make_unique<VirtualPad>();
    game.frames(2);
    EXPECT_EQ(pads.count(), 1u);
}

} // namespace
