// Input: keyboard and mouse snapshots across polls, the events the poll reacts to, typed text and
// the mapping between window and logical coordinates.
#include "Core/Core.h"
#include "Input/CoordinateMapping.h"
#include "Input/Input.h"
#include "Input/Window.h"
#include "support/Headless.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

namespace {

const Size kLogical{1024, 720};
const Size kDoubled{2048, 1440};

class InputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        startHeadlessCore();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void TearDown() override
    {
        keyboard().clearScript();
        if (textInput().isActive())
            textInput().stop();
        SDL_StartTextInput();
        input().pollEvents();
        input().pollEvents();
    }

    static Input& input() { return Core::instance().input(); }
    static Keyboard& keyboard() { return Core::keyboard(); }
    static Mouse& mouse() { return Core::mouse(); }
    static TextInput& textInput() { return input().textInput(); }

    // One poll with exactly these keys held.
    static void pollHolding(std::initializer_list<SDL_Scancode> keys)
    {
        Keyboard::State held{};
        for (const SDL_Scancode key : keys)
            held[key] = 1;
        keyboard().setScript(held);
        input().pollEvents();
    }

    static void pushWheel(int x, int y)
    {
        SDL_Event event{};
        event.type = SDL_MOUSEWHEEL;
        event.wheel.x = x;
        event.wheel.y = y;
        SDL_PushEvent(&event);
    }

    static void pushWindowEvent(uint8_t kind, int data1 = 0, int data2 = 0)
    {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = kind;
        event.window.data1 = data1;
        event.window.data2 = data2;
        SDL_PushEvent(&event);
    }

    static void pushText(const char* text)
    {
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        std::strncpy(event.text.text, text, sizeof event.text.text - 1);
        SDL_PushEvent(&event);
    }
};

TEST_F(InputTest, HeldKeyIsPressedInItsFirstFrameOnlyAndReleasedInTheFrameAfter)
{
    pollHolding({});
    pollHolding({SDL_SCANCODE_D});
    EXPECT_TRUE(keyboard().isKeyPressed(SDL_SCANCODE_D));
    EXPECT_TRUE(keyboard().isKeyDown(SDL_SCANCODE_D));
    EXPECT_FALSE(keyboard().isKeyReleased(SDL_SCANCODE_D));

    for (int frame = 0; frame < 3; ++frame) {
        pollHolding({SDL_SCANCODE_D});
        EXPECT_FALSE(keyboard().isKeyPressed(SDL_SCANCODE_D));
        EXPECT_TRUE(keyboard().isKeyDown(SDL_SCANCODE_D));
    }

    pollHolding({});
    EXPECT_TRUE(keyboard().isKeyReleased(SDL_SCANCODE_D));
    EXPECT_FALSE(keyboard().isKeyDown(SDL_SCANCODE_D));
    pollHolding({});
    EXPECT_FALSE(keyboard().isKeyReleased(SDL_SCANCODE_D));
}

TEST_F(InputTest, KeyDownAndUpBetweenTwoPollsIsNotSeen)
{
    pollHolding({});
    Keyboard::State held{};
    held[SDL_SCANCODE_SPACE] = 1;
    keyboard().setScript(held);
    keyboard().setScript({});
    input().pollEvents();
    EXPECT_FALSE(keyboard().isKeyPressed(SDL_SCANCODE_SPACE));
    EXPECT_FALSE(keyboard().isKeyDown(SDL_SCANCODE_SPACE));
    EXPECT_FALSE(keyboard().isKeyReleased(SDL_SCANCODE_SPACE));
}

TEST_F(InputTest, KeycodesAskForTheKeyOfTheirScancode)
{
    pollHolding({});
    pollHolding({SDL_SCANCODE_A, SDL_SCANCODE_RETURN});
    // SDLK_* values and SDL_SCANCODE_* enumerators both pick their own overload.
    EXPECT_TRUE(keyboard().isKeyPressed(SDLK_a));
    EXPECT_TRUE(keyboard().isKeyDown(SDLK_RETURN));
    EXPECT_TRUE(keyboard().isKeyDown(SDL_Keycode{'a'}));
    EXPECT_FALSE(keyboard().isKeyDown(SDLK_b));
    pollHolding({});
    EXPECT_TRUE(keyboard().isKeyReleased(SDLK_a));
}

TEST_F(InputTest, ScancodesOutsideTheSnapshotReadAsUp)
{
    Keyboard::State all;
    all.fill(1);
    keyboard().setScript(all);
    input().pollEvents();
    input().pollEvents();
    EXPECT_TRUE(keyboard().isKeyDown(static_cast<SDL_Scancode>(511)));
    for (const int code : {-1, 512, 100000}) {
        const auto key = static_cast<SDL_Scancode>(code);
        EXPECT_FALSE(keyboard().isKeyDown(key)) << code;
        EXPECT_FALSE(keyboard().isKeyPressed(key)) << code;
        EXPECT_FALSE(keyboard().isKeyReleased(key)) << code;
    }
}

TEST_F(InputTest, ModifiersAreComparedByMask)
{
    pollHolding({});
    pollHolding({SDL_SCANCODE_LSHIFT});
    EXPECT_TRUE(keyboard().isModDown(KMOD_SHIFT));
    EXPECT_TRUE(keyboard().isModPressed(KMOD_SHIFT));
    EXPECT_FALSE(keyboard().isModDown(KMOD_CTRL));

    // The other shift key: still a shift bit in both snapshots, so not pressed again.
    pollHolding({SDL_SCANCODE_RSHIFT});
    EXPECT_TRUE(keyboard().isModDown(KMOD_SHIFT));
    EXPECT_FALSE(keyboard().isModPressed(KMOD_SHIFT));
    EXPECT_FALSE(keyboard().isModDown(KMOD_LSHIFT));

    pollHolding({});
    EXPECT_TRUE(keyboard().isModReleased(KMOD_SHIFT));
    EXPECT_FALSE(keyboard().isModDown(KMOD_SHIFT));
}

TEST_F(InputTest, WithoutAScriptTheKeyboardIsSdlsOwn)
{
    keyboard().clearScript();
    EXPECT_FALSE(keyboard().isScripted());
    SDL_SetModState(KMOD_LCTRL);
    input().pollEvents();
    EXPECT_TRUE(keyboard().isModDown(KMOD_CTRL));
    SDL_SetModState(KMOD_NONE);
    input().pollEvents();
    EXPECT_TRUE(keyboard().isModReleased(KMOD_CTRL));
    EXPECT_FALSE(keyboard().isKeyDown(SDL_SCANCODE_A));
}

TEST_F(InputTest, WheelKeepsTheLastEventOfAPollAndResetsOnTheNext)
{
    pushWheel(0, 1);
    pushWheel(2, -3);
    input().pollEvents();
    EXPECT_EQ(mouse().wheel(), (Point{2, -3}));
    EXPECT_TRUE(mouse().isWheelDown());
    EXPECT_FALSE(mouse().isWheelUp());

    pushWheel(0, 4);
    input().pollEvents();
    EXPECT_TRUE(mouse().isWheelUp());

    input().pollEvents();
    EXPECT_EQ(mouse().wheel(), (Point{0, 0}));
    EXPECT_FALSE(mouse().isWheelUp());
    EXPECT_FALSE(mouse().isWheelDown());
}

TEST_F(InputTest, FocusFollowsWindowEvents)
{
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    input().pollEvents();
    EXPECT_FALSE(input().isFocused());
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    input().pollEvents();
    EXPECT_TRUE(input().isFocused());
}

TEST_F(InputTest, SizeChangeIsStoredLoggedAndReportedForOnePoll)
{
    Window& window = Core::instance().window();
    const std::string logBefore = readFile("userData/log.txt");

    pushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600);
    input().pollEvents();
    EXPECT_TRUE(input().wasResized());
    EXPECT_EQ(window.size(), (Size{800, 600}));
    const std::string added = readFile("userData/log.txt").substr(logBefore.size());
    EXPECT_NE(added.find("|INFO| Orientation changes\n"), std::string::npos) << added;

    input().pollEvents();
    EXPECT_FALSE(input().wasResized());
    window.size() = kLogical;
}

TEST_F(InputTest, TypedTextIsCollectedOnlyWhileActive)
{
    ASSERT_FALSE(textInput().isActive());
    pushText("lost");
    input().pollEvents();

    textInput().start();
    EXPECT_TRUE(textInput().isActive());
    pushText("Due");
    pushText("l");
    input().pollEvents();
    pushText("fall \xc3\xa9");
    input().pollEvents();
    EXPECT_EQ(textInput().takeText(), "Duelfall \xc3\xa9");
    EXPECT_EQ(textInput().takeText(), "");

    textInput().stop();
    EXPECT_FALSE(textInput().isActive());
}

TEST_F(InputTest, MousePositionIsReadInLogicalCoordinates)
{
    Window& window = Core::instance().window();
    window.setSize(kDoubled);

    warpMouse({512, 360});
    int x = 0;
    int y = 0;
    SDL_GetMouseState(&x, &y);
    EXPECT_EQ((Point{x, y}), (Point{1024, 720}));
    input().pollEvents();
    EXPECT_EQ(mouse().position(), (Point{512, 360}));

    warpMouse({500, 100});
    input().pollEvents();
    EXPECT_EQ(mouse().position(), (Point{500, 100}));
    EXPECT_EQ(mouse().previousPosition(), (Point{512, 360}));
    EXPECT_TRUE(mouse().movedUp());
    EXPECT_FALSE(mouse().movedDown());
    // No button is held, and numbers outside SDL's mask never are.
    for (const int button : {-1, 0, 1, 3, 33}) {
        EXPECT_FALSE(mouse().isButtonDown(button));
        EXPECT_FALSE(mouse().isButtonPressed(button));
        EXPECT_FALSE(mouse().isButtonReleased(button));
    }

    window.setSize(kLogical);
    input().pollEvents();
}

TEST(CoordinateMapping, ScalesBetweenWindowAndLogicalSpace)
{
    EXPECT_EQ(toLogical({1001, 3}, kLogical, kDoubled), (Point{500, 1}));
    EXPECT_EQ(toWindow({512, 360}, kLogical, kDoubled), (Point{1024, 720}));
    // Truncated toward zero, also for points left of or above the window.
    EXPECT_EQ(toLogical({-3, -1}, kLogical, kDoubled), (Point{-1, 0}));
    EXPECT_EQ(toLogical({1001, 3}, kLogical, kLogical), (Point{1001, 3}));
    EXPECT_EQ(toWindow({1001, 3}, kLogical, kLogical), (Point{1001, 3}));
}

TEST(CoordinateMapping, AZeroSideMapsToZeroOnThatAxis)
{
    EXPECT_EQ(toLogical({100, 100}, kLogical, {0, 1440}), (Point{0, 50}));
    EXPECT_EQ(toLogical({100, 100}, kLogical, {0, 0}), (Point{0, 0}));
    EXPECT_EQ(toWindow({100, 100}, {1024, 0}, kDoubled), (Point{200, 0}));
}

} // namespace
