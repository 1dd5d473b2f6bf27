// Around the fight, driven by real SDL events and virtual pads: pause, full screen, playing again, game controllers.

#include "Core/Core.h"
#include "Fight/Bullet.h"
#include "Fight/World.h"
#include "Fight/WorldState.h"
#include "Frame/GameFrame.h"
#include "Frame/GamepadKeys.h"
#include "Graphics/Letterbox.h"
#include "Graphics/Renderer.h"
#include "Input/CoordinateMapping.h"
#include "Input/Input.h"
#include "Input/Mouse.h"
#include "Input/Window.h"
#include "Math/Random.h"
#include "Replay/Replay.h"
#include "Settings/SettingsFile.h"
#include "Shell/GameSession.h"
#include "Shell/OptionsScreen.h"
#include "Utils/Path.h"
#include "Utils/StringUtils.h"
#include "support/ChildProcess.h"
#include "support/EngineHarness.h"
#include "support/GameKeysOf.h"
#include "support/Golden.h"
#include "support/GoldenPicture.h"
#include "support/Headless.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <regex>
#include <tuple>

namespace fs = std::filesystem;

namespace {

// The game as main() runs it: a world, its recording session as the global scene, seeded before the world is built.
struct Game {
    bool started = (startHeadlessCore(), Random::seed(20261207), true);
    World world;
    GameSession session;

    explicit Game(std::optional<Replay> replay = std::nullopt, int jumpBuffer = 0, const std::string& records = "")
        : session(world, std::move(replay), jumpBuffer, records)
    {
        Core::instance().scenes().setGlobalScene(session.scene());
        Core::keyboard().setScript(Keyboard::State{});
    }
    ~Game() { Core::instance().scenes().setGlobalScene(Scene({}, {})); }

    void frames(int count)
    {
        for (int i = 0; i < count; ++i)
            Core::instance().runFrame();
    }
};

// A key pressed (or repeated by the system, held), or with SDL_SCANCODE_UNKNOWN the window losing the focus.
void push(SDL_Scancode key, uint16_t mod = KMOD_NONE, uint8_t repeat = 0)
{
    SDL_Event event{};
    if (key == SDL_SCANCODE_UNKNOWN) {
        event.type = SDL_WINDOWEVENT;
        event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    } else {
        event.type = SDL_KEYDOWN;
        event.key.state = SDL_PRESSED;
        event.key.repeat = repeat;
        event.key.keysym = {key, SDL_GetKeyFromScancode(key), mod, 0};
    }
    event.common.timestamp = SDL_GetTicks();
    event.window.windowID = SDL_GetWindowID(Core::instance().window().handle()); // the same field in a key event
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

// A mouse button pressed at a logical point (the window shows the target one to one).
void click(Point at, uint8_t button = SDL_BUTTON_LEFT)
{
    SDL_Event event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button = {SDL_MOUSEBUTTONDOWN, SDL_GetTicks(), SDL_GetWindowID(Core::instance().window().handle()), 0, button,
        SDL_PRESSED, 1, 0, at.x, at.y};
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

void holdKeys(GameKeys keys) { Core::keyboard().setScript(keyboardStateOf(keys)); }

TEST(Desktop, WhilePausedNothingMovesTheMusicHoldsAndTheLastPictureIsDimmedUnderPaused)
{
    Game game;
    holdKeys(keysOf({GameKey::Left, GameKey::Fire}));
    game.frames(30);
    holdKeys({});
    game.frames(20); // at rest, turned left
    const uint32_t before = worldStateOf(game.world).checksum;
    ASSERT_EQ(Mix_PausedMusic(), 0);

    // A lost focus pauses; keys other than Esc, P and Q change nothing while paused.
    push(SDL_SCANCODE_UNKNOWN);
    game.frames(20);
    push(SDL_SCANCODE_SPACE);
    game.frames(5);
    EXPECT_TRUE(game.session.isPaused());
    EXPECT_EQ(worldStateOf(game.world).checksum, before) << "no update ran";
    EXPECT_EQ(Mix_PausedMusic(), 1);
    // The last picture played, dimmed, under the title and the keys.
    expectGoldenPicture(Core::instance().captureFrame(), "pause");

    push(SDL_SCANCODE_P);
    game.frames(1);
    EXPECT_FALSE(game.session.isPaused());
    EXPECT_EQ(Mix_PausedMusic(), 0);
    EXPECT_NE(worldStateOf(game.world).checksum, before);

    // Q quits only while paused, and then the way closing the window does (the frame loop ends).
    for (const SDL_Scancode key : {SDL_SCANCODE_Q, SDL_SCANCODE_ESCAPE, SDL_SCANCODE_Q}) {
        EXPECT_TRUE(Core::instance().input().isRunning());
        push(key);
        game.frames(1);
    }
    EXPECT_FALSE(Core::instance().input().isRunning());
}

TEST(Desktop, FullScreenTogglesOnF11AndAltEnterAndThePictureKeepsItsShape)
{
    Game game;
    game.frames(60); // landed, at rest
    Window& window = Core::instance().window();
    const std::tuple<SDL_Scancode, uint16_t, bool> toggles[] = {{SDL_SCANCODE_F11, KMOD_NONE, true},
        {SDL_SCANCODE_F11, KMOD_NONE, false}, {SDL_SCANCODE_RETURN, KMOD_LALT, true},
        {SDL_SCANCODE_KP_ENTER, KMOD_RALT, false}, {SDL_SCANCODE_RETURN, KMOD_NONE, false}};
    for (const auto& [key, mod, fullscreen] : toggles) {
        push(key, mod);
        game.frames(1);
        EXPECT_EQ(window.isFullscreen(), fullscreen) << SDL_GetScancodeName(key) << " mod " << mod;
    }
    if (window.isFullscreen())
        window.toggleDesktopFullscreen();

    EXPECT_EQ(letterbox({1024, 720}, {0, 720}), Rect(0, 0, 0, 0)) << "a window of no width";
    // Scaled to fit between black bars, the mouse mapped through the same box: the bars lie outside the picture.
    const std::tuple<Size, Point, Point, Point> mapped[] = {{{1280, 800}, {71, 0}, {0, 0}, {71, 0}},
        {{1280, 800}, {70, 0}, {-1, 0}, {69, 0}}, {{1280, 800}, {640, 400}, {512, 360}, {639, 400}},
        {{1280, 800}, {1208, 800}, {1024, 720}, {1208, 800}}, {{1024, 1024}, {0, 151}, {0, -1}, {0, 151}},
        {{1024, 1024}, {1023, 871}, {1023, 719}, {1023, 871}}, {{1024, 1024}, {0, 872}, {0, 720}, {0, 872}}};
    for (const auto& [size, inWindow, logical, back] : mapped) {
        window.setSize(size);
        game.frames(1);
        EXPECT_EQ(toLogical(inWindow), logical) << size.w << "x" << size.h << " " << inWindow.x << "," << inWindow.y;
        EXPECT_EQ(toWindow(logical), back) << size.w << "x" << size.h << " " << logical.x << "," << logical.y;
    }
    window.setSize({1280, 800});
    // The window itself: the arena scaled between black bars, which hide what the window showed before.
    Renderer& renderer = Core::instance().renderer();
    for (const Size size : {Size{1280, 800}, Size{1000, 300}}) {
        window.setSize(size);
        game.frames(1);
        renderer.setTarget(nullptr);
        renderer.fillRect({{0, 0}, size}, Color{255, 0, 0, 255}); // for the bars to hide
        game.frames(1);
        renderer.setTarget(nullptr);
        expectGoldenPicture(
            renderer.readPixels(), "letterbox-" + std::to_string(size.w) + "x" + std::to_string(size.h));
    }
    window.setSize({1024, 720});
    game.frames(1);
}

// The times shown are pinned by the golden victory picture; records.ini holds a better first boss and a worse fight.
TEST(Desktop, OnceTheVictoryTextIsWholeEnterPlaysAgainAndTheTextStaysWhole)
{
    const std::string runs = basePath() + "/userData/replays";
    fs::remove_all(runs);
    const std::string records
        = writeFile(scratchDirectory("records") + "/records.ini", "first_boss = 100\nfight=99999\n");
    Game game(std::nullopt, 0, records);
    // Both bosses beaten the quick way: a bullet put where the boss will be in every frame it can be hit.
    static const Bullet prototype("data/img/bullet.png", {0, 0}, Bullet::kRight);
    const auto shootAt = [&](Rect target) {
        Bullet bullet = prototype;
        bullet.setVdir(Bullet::kStraightUp);
        bullet.setPosition(
            {target.center().x - Bullet::kSize / 2, target.center().y + Bullet::kStep - Bullet::kSize / 2});
        game.world.player.getBullets().push_back(bullet);
    };
    for (Boss01& boss = game.world.boss01; !boss.isFinished(); game.frames(1))
        if (!boss.isDead())
            shootAt(boss.hitbox());
    for (Boss02& boss = game.world.boss02; !boss.isFinished(); game.frames(1))
        if (!boss.isDead() && !boss.isTransforming()) {
            Rect next = boss.rect();
            next.y += boss.directionY() == 1 ? 3 : -3;
            shootAt(next);
        }
    // The run is written at the victory, while the game goes on, by a thread of its own: given a moment.
    std::string written;
    for (int wait = 0; wait < 300 && written.find(" boss02 0\n") == std::string::npos; ++wait, SDL_Delay(10))
        written = readFile(runs + "/last.replay");
    EXPECT_EQ(Replay::parse(written).end.boss02Health, 0) << written;
    const FightClock clock = game.world.clock;
    EXPECT_EQ(readFile(records),
        "# Duelfall's best times, in frames (60 a second)\nfirst_boss = 100\nfight = " + std::to_string(*clock.won)
            + "\n");
    const Rect line = game.world.playAgainText.rect();
    // Enter does nothing while the text is still growing, and the line is not there yet.
    holdKeys(keysOf({GameKey::Enter}));
    game.frames(10);
    EXPECT_TRUE(game.world.boss02.isFinished());
    // The window shows the target one to one.
    EXPECT_LT(engine_test::countPixels(Core::instance().renderer().readPixels(line), {255, 255, 255, 255}), 20);
    holdKeys({});
    int frames = 10; // after the one in which the second boss was finished, the message's first
    for (; game.world.victoryText.text() != game.world.victoryMessage && frames < 400; ++frames)
        game.frames(1);
    EXPECT_EQ(frames, 279) << "the message is whole in its 280th frame, not before";
    EXPECT_EQ(game.world.clock.frames, *clock.won) << "the clock stops at the victory";
    EXPECT_EQ(
        game.world.firstBossTimeText.text(), "First boss  " + clockText(*clock.firstBossFell) + "    Best  0:01.66");
    EXPECT_EQ(game.world.fightTimeText.text(),
        "Whole fight  " + clockText(*clock.won) + "    Best  " + clockText(*clock.won) + "    New best!");
    holdKeys(keysOf({GameKey::Enter}));
    game.frames(1);
    EXPECT_FALSE(game.world.boss01.isFinished() || game.world.boss02.isFinished());
    EXPECT_EQ(game.world.boss01.rect(), Rect(400, 30, 170, 104));
    EXPECT_EQ(game.world.player.getHealth(), Player::kMaxHealth);
    EXPECT_EQ(game.world.victoryText.text(), game.world.victoryMessage) << "not reset: a second victory shows it whole";
    EXPECT_TRUE(game.world.clock.frames == 0 && !game.world.bestTimes.fight) << "a new fight, a new clock";
}

// Played back, the golden won fight shows the first boss's time against the records and never beats them.
TEST(Desktop, AReplayPlayedBackShowsTheBestTimesButNeverCounts)
{
    const std::string records = writeFile(scratchDirectory("replayed") + "/records.ini", "first_boss = 99999\n");
    const Replay won = Replay::load(DUELFALL_SOURCE_DIR "/tests/golden/replays/won.replay");
    Game game(won, 0, records);
    Core::keyboard().setScript(keyboardStateOf(won.keysAt(1)));
    for (int frame = 0; frame < 2300 && !game.world.clock.firstBossFell; ++frame)
        game.frames(1);
    EXPECT_EQ(game.world.clock.firstBossFell, 2294);
    EXPECT_TRUE(game.world.bestTimes.firstBoss == 99999 && !game.world.bestTimes.newFirstBoss);
    EXPECT_EQ(readFile(records), "first_boss = 99999\n");
}

// Sharp scaling shows each logical pixel as a whole block; pixel-perfect keeps 1x between black bars where 1.5x
// would fit, and the mouse maps through the same picture.
TEST(Desktop, SharpAndPixelPerfectScalingDrawWholePixelsAndTheMouseFollows)
{
    Game game;
    game.frames(30);
    Core& core = Core::instance();
    const auto show = [&](PictureScaling scaling, Size size) {
        core.setPictureScaling(scaling);
        core.window().setSize(size);
        game.frames(1);
        core.renderer().setTarget(nullptr);
        return std::pair(core.captureFrame(), core.renderer().readPixels());
    };
    int wrong = 0;
    const auto [picture, sharp] = show(PictureScaling::Sharp, {2048, 1440});
    for (int y = 0; y < 720; y += 3)
        for (int x = 0; x < 1024; x += 3)
            wrong += sharp.pixel(2 * x, 2 * y) != picture.pixel(x, y)
                || sharp.pixel(2 * x + 1, 2 * y + 1) != picture.pixel(x, y);
    const auto [target, perfect] = show(PictureScaling::WholeMultiples, {1536, 1080});
    for (int y = 0; y < 720; y += 3)
        for (int x = 0; x < 1024; x += 3)
            wrong += perfect.pixel(256 + x, 180 + y) != target.pixel(x, y);
    EXPECT_EQ(wrong, 0);
    const Color black{0, 0, 0, 255};
    EXPECT_EQ(std::tuple(perfect.pixel(255, 500), perfect.pixel(700, 179), perfect.pixel(1280, 900)),
        std::tuple(black, black, black));
    EXPECT_EQ(std::tuple(toLogical({256, 180}), toLogical({255, 180}), toLogical({1279, 899})),
        std::tuple(Point{0, 0}, Point{-1, 0}, Point{1023, 719}));
    show(PictureScaling::Smooth, {1536, 1080});
    EXPECT_EQ(toLogical({256, 180}), (Point{170, 120})) << "smooth fills the window at 1.5x";
    core.window().setSize({1024, 720});
    game.frames(1);
}

// A tap of jump in a frame the resting player is not on the ground: no jump without a buffer; with one of 4 frames
// the player jumps when it next stands, and the replay, whose header carries the buffer, plays back only with it.
TEST(Desktop, AJumpBufferKeepsAnEarlyTapUntilThePlayerStandsAndTheReplayCarriesIt)
{
    const std::string base = basePath(), dir = gameDirectory("buffer");
    setBasePath(dir);
    for (const int buffer : {0, 4}) {
        Game game(std::nullopt, buffer);
        game.frames(60);
        while (game.world.player.isOnGround())
            game.frames(1);
        const double rest = game.world.player.y();
        holdKeys(keysOf({GameKey::Jump}));
        game.frames(1);
        holdKeys({});
        game.frames(4);
        EXPECT_EQ(game.world.player.y() < rest - 3, buffer > 0) << "buffer " << buffer;
        EXPECT_EQ(game.session.finish(), 0);
    }
    setBasePath(base);
    const std::string replay = readFile(dir + "/userData/replays/last.replay");
    EXPECT_EQ(replay.substr(0, replay.find('\n')).substr(replay.find(" jump_buffer")), " jump_buffer 4");
    writeFile(dir + "/unbuffered.replay", std::regex_replace(replay, std::regex(" jump_buffer 4"), ""));
    for (const auto& [file, status] : {std::pair("userData/replays/last.replay", 0), {"unbuffered.replay", 3}})
        EXPECT_EQ(
            runChild({DUELFALL_SIM_PATH, "--replay", file}, dir, {{"SDL_RENDER_DRIVER", "software"}}).status, status)
            << file;
}

// A pad plugged in through SDL's virtual joysticks, seen by the game as a real game controller.
struct VirtualPad {
    VirtualPad()
    {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION, desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX, desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX,
        desc.name = "Duelfall test pad";
        joystick = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
        EXPECT_NE(joystick, nullptr) << SDL_GetError();
    }
    ~VirtualPad()
    {
        const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
        SDL_JoystickClose(joystick);
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id)
                SDL_JoystickDetachVirtual(i);
    }
    void button(SDL_GameControllerButton b, bool down) { SDL_JoystickSetVirtualButton(joystick, b, down ? 1 : 0); }
    void axis(SDL_GameControllerAxis a, int16_t value) { SDL_JoystickSetVirtualAxis(joystick, a, value); }
    void release()
    {
        for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b)
            SDL_JoystickSetVirtualButton(joystick, b, 0);
        // At rest a virtual trigger (the last two axes) is the raw axis's minimum: SDL reads -32768..32767 as 0..32767.
        for (int a = 0; a < SDL_CONTROLLER_AXIS_MAX; ++a)
            SDL_JoystickSetVirtualAxis(joystick, a, a >= SDL_CONTROLLER_AXIS_TRIGGERLEFT ? SDL_JOYSTICK_AXIS_MIN : 0);
    }

    SDL_Joystick* joystick = nullptr;
};

// The keys read from the pad in every frame are pinned by the golden replay the session records (replays/pad.replay).
TEST(Desktop, APadPluggedInMidGamePlaysLikeTheKeyboardAndCanBeUnpluggedAgain)
{
    // An offscreen window never has the keyboard focus, and SDL ignores pads of a window without it.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    const std::string base = basePath(), dir = fs::absolute(scratchDirectory("pad")).string();
    setBasePath(dir); // the run is recorded there
    Game game;
    Core::keyboard().clearScript();
    game.frames(60);
    const GameControllers& pads = Core::instance().input().controllers();
    ASSERT_EQ(pads.count(), 0u);
    auto pad = std::make_unique<VirtualPad>();
    game.frames(2);
    ASSERT_EQ(pads.count(), 1u) << "connected mid-game";

    // Each for a frame, then one at rest (frames 63 to 94): the left stick right, left, on the dead zone's edge
    // both ways, up, down; the right trigger; the right stick; the d-pad, A, X, B and Y.
    const std::pair<SDL_GameControllerAxis, int16_t> axes[]
        = {{SDL_CONTROLLER_AXIS_LEFTX, 20000}, {SDL_CONTROLLER_AXIS_LEFTX, -32768},
            {SDL_CONTROLLER_AXIS_LEFTX, kStickDeadZone}, {SDL_CONTROLLER_AXIS_LEFTY, -kStickDeadZone},
            {SDL_CONTROLLER_AXIS_LEFTY, -20000}, {SDL_CONTROLLER_AXIS_LEFTY, 20000},
            {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 30000}, {SDL_CONTROLLER_AXIS_RIGHTX, 30000}};
    const auto tap
        = [&](const std::function<void()>& press) { press(), game.frames(1), pad->release(), game.frames(1); };
    for (const auto& [axis, value] : axes)
        tap([&] { pad->axis(axis, value); });
    for (const SDL_GameControllerButton button : {SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
             SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_A,
             SDL_CONTROLLER_BUTTON_X, SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_Y})
        tap([&] { pad->button(button, true); });
    // The stick runs right while A jumps.
    pad->axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    pad->button(SDL_CONTROLLER_BUTTON_A, true);
    game.frames(20);
    pad->release();

    // Start pauses the fight and resumes it.
    for (const bool paused : {true, false}) {
        pad->button(SDL_CONTROLLER_BUTTON_START, true);
        game.frames(2);
        EXPECT_EQ(game.session.isPaused(), paused);
        pad->button(SDL_CONTROLLER_BUTTON_START, false);
        game.frames(1);
    }

    // Unplugged mid-game: the fight pauses; resumed, the keyboard plays on, and a pad plugged in again is seen again.
    pad.reset();
    game.frames(2);
    EXPECT_EQ(pads.count(), 0u);
    EXPECT_TRUE(game.session.isPaused());
    push(SDL_SCANCODE_P);
    game.frames(2);
    holdKeys(keysOf({GameKey::Left}));
    game.frames(30);
    pad = std::make_unique<VirtualPad>();
    game.frames(2);
    EXPECT_EQ(pads.count(), 1u);
    Core::keyboard().clearScript(); // a scripted keyboard stands for every device
    pad->axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    game.frames(20);
    // Pulled out while this game still runs: its removal must not pause the next test's game.
    pad.reset();
    game.frames(1);

    // Recorded as the pad's game keys, the paused frames left out.
    EXPECT_EQ(game.session.finish(), 0);
    setBasePath(base);
    const std::vector<std::string> lines = split(readFile(dir + "/userData/replays/last.replay"), '\n', true);
    ASSERT_FALSE(lines.empty());
    expectGolden({lines.begin() + 1, lines.end()}, "replays/pad.replay", lines[0].substr(2));
}

} // namespace

// Over the paused fight, worked by keys, a pad and the pointer: each change is applied and saved at once and read
// back as the next start reads it; looking round writes nothing, and a key or button another action has is refused.
TEST(Desktop, TheOptionsScreenChangesRebindsAndKeepsSettingsWhileTheFightWaits)
{
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    const std::string path = scratchDirectory("options") + "/settings.ini";
    Game game;
    SettingsFile file = SettingsFile::read(path);
    game.session.offerOptions(file);
    VirtualPad pad;
    game.frames(30);
    const uint32_t before = worldStateOf(game.world).checksum;
    const auto keys = [&](std::initializer_list<SDL_Scancode> presses) {
        for (const SDL_Scancode key : presses) {
            push(key);
            game.frames(1);
        }
    };
    const auto buttons = [&](std::initializer_list<SDL_GameControllerButton> presses) {
        for (const SDL_GameControllerButton button : presses) {
            pad.button(button, true);
            game.frames(1);
            pad.button(button, false);
            game.frames(1);
        }
    };
    const auto saved = [&] { return SettingsFile::read(path).settings(); };
    const Rect panel{112, 56, 800, 608};

    keys({SDL_SCANCODE_ESCAPE, SDL_SCANCODE_O});
    ASSERT_TRUE(game.session.showsOptions());
    // Round the list both ways, and a volume at its top raised: nothing changes, nothing is written.
    keys({SDL_SCANCODE_UP, SDL_SCANCODE_DOWN, SDL_SCANCODE_RIGHT});
    EXPECT_FALSE(fs::exists(path));
    expectGoldenPicture(Core::instance().renderer().readPixels(panel), "options");
    keys({SDL_SCANCODE_LEFT, SDL_SCANCODE_DOWN, SDL_SCANCODE_RETURN}); // Enter on a number does nothing
    EXPECT_EQ(file.settings().musicVolume, 90);
    EXPECT_EQ(saved().musicVolume, 90);
    EXPECT_EQ(saved().effectsVolume, 100);
    // A click left of a value's middle lowers it.
    click({760, OptionsScreen::rowRect(1).center().y});
    game.frames(1);
    EXPECT_EQ(saved().effectsVolume, 90);
    // Left held lowers it on, Esc held closes nothing.
    for (const SDL_Scancode key : {SDL_SCANCODE_LEFT, SDL_SCANCODE_LEFT, SDL_SCANCODE_ESCAPE})
        push(key, KMOD_NONE, 1);
    game.frames(1);
    EXPECT_TRUE(game.session.showsOptions());
    EXPECT_EQ(saved().effectsVolume, 70);
    // The pointer chooses the row it is over: the timer, then the way to the controls.
    warpMouse(OptionsScreen::rowRect(4).center());
    keys({SDL_SCANCODE_RETURN});
    EXPECT_TRUE(saved().timer);
    warpMouse(OptionsScreen::rowRect(8).center());
    keys({SDL_SCANCODE_RETURN});

    // Jump: Left Ctrl is Fire's and refused, the wait goes on; K is free. Pad jump: X is Fire's, Y is free.
    keys({SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN, SDL_SCANCODE_RETURN,
        SDL_SCANCODE_LCTRL});
    expectGoldenPicture(Core::instance().renderer().readPixels(panel), "options-controls");
    EXPECT_EQ(saved().keys, defaultSettings().keys);
    keys({SDL_SCANCODE_K});
    EXPECT_EQ(saved().keys[static_cast<size_t>(Action::Jump)], std::vector{SDL_SCANCODE_K});
    buttons({SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_DPAD_DOWN,
        SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_X, SDL_CONTROLLER_BUTTON_Y});
    EXPECT_EQ(saved().padButtons[static_cast<size_t>(PadAction::Jump)], std::vector{SDL_CONTROLLER_BUTTON_Y});
    // Esc cancels a wait and keeps the binding.
    keys({SDL_SCANCODE_RETURN, SDL_SCANCODE_ESCAPE, SDL_SCANCODE_UP, SDL_SCANCODE_RETURN, SDL_SCANCODE_ESCAPE});
    EXPECT_EQ(saved().keys[static_cast<size_t>(Action::Pause)], defaultSettings().keys[7]);

    // B leads back to the main page's Controls row, under which lies the reset; the right button closes the screen.
    buttons({SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_A});
    EXPECT_EQ(saved(), defaultSettings());
    click({0, 0}, SDL_BUTTON_RIGHT);
    game.frames(1);
    EXPECT_FALSE(game.session.showsOptions());
    EXPECT_TRUE(game.session.isPaused());
    EXPECT_EQ(worldStateOf(game.world).checksum, before) << "the fight waited";
    keys({SDL_SCANCODE_ESCAPE});
    EXPECT_FALSE(game.session.isPaused());
}
