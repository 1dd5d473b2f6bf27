// Input: keyboard and mouse snapshots across polls, the events the poll reacts to, typed text and
// the mapping between window and logical coordinates.
#include "Core/Core.h"
#include "Input/CoordinateMapping.h"
#include "Input/Input.h"
#include "Input/Window.h"
#include "support/EngineHarness.h"
#include "support/Headless.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

using namespace engine_test;

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
        if (input().textInput().isActive())
            input().textInput().stop();
        SDL_StartTextInput();
        input().pollEvents();
        input().pollEvents();
    }

    static Input& input() { return Core::instance().input(); }
    static Keyboard& keyboard() { return Core::keyboard(); }
    static Mouse& mouse() { return Core::mouse(); }

    // One poll with exactly these keys held.
    static void pollHolding(std::initializer_list<SDL_Scancode> keys)
    {
        Keyboard::State held{};
        for (const SDL_Scancode key : keys)
            held[key] = 1;
        keyboard().setScript(held);
        input().pollEvents();
    }

    // One poll after these events.
    static void pollAfter(std::initializer_list<SDL_Event> events)
    {
        for (SDL_Event event : events)
            SDL_PushEvent(&event);
        input().pollEvents();
    }

    // An event of the given type with fields set by the caller.
    template <typename Fill> static SDL_Event event(uint32_t type, Fill fill)
    {
        SDL_Event event{};
        event.type = type;
        fill(event);
        return event;
    }
    static SDL_Event wheel(int x, int y)
    {
        return event(SDL_MOUSEWHEEL, [=](SDL_Event& e) { e.wheel.x = x, e.wheel.y = y; });
    }
    static SDL_Event windowEvent(uint8_t kind, int w = 0, int h = 0)
    {
        return event(
            SDL_WINDOWEVENT, [=](SDL_Event& e) { e.window.event = kind, e.window.data1 = w, e.window.data2 = h; });
    }
    static SDL_Event text(const char* typed)
    {
        return event(SDL_TEXTINPUT, [=](SDL_Event& e) { std::strncpy(e.text.text, typed, sizeof e.text.text - 1); });
    }
};

TEST_F(InputTest, AHeldKeyIsPressedInItsFirstFrameOnlyReleasedInTheFrameAfterAndModifiersGoByMask)
{
    pollHolding({});
    pollHolding({SDL_SCANCODE_D, SDL_SCANCODE_LSHIFT});
    EXPECT_TRUE(keyboard().isKeyPressed(SDL_SCANCODE_D) && keyboard().isKeyDown(SDL_SCANCODE_D));
    EXPECT_FALSE(keyboard().isKeyReleased(SDL_SCANCODE_D));
    EXPECT_TRUE(keyboard().isKeyPressed(SDLK_d)) << "SDLK_* values ask for the key of their scancode";
    EXPECT_FALSE(keyboard().isKeyDown(SDLK_b));
    EXPECT_TRUE(keyboard().isModDown(KMOD_SHIFT) && keyboard().isModPressed(KMOD_SHIFT));
    EXPECT_FALSE(keyboard().isModDown(KMOD_CTRL));
    // The other shift key: still a shift bit in both snapshots, so not pressed again.
    pollHolding({SDL_SCANCODE_D, SDL_SCANCODE_RSHIFT});
    EXPECT_FALSE(keyboard().isKeyPressed(SDL_SCANCODE_D) || keyboard().isModPressed(KMOD_SHIFT));
    EXPECT_TRUE(keyboard().isKeyDown(SDL_SCANCODE_D) && keyboard().isModDown(KMOD_SHIFT));
    EXPECT_FALSE(keyboard().isModDown(KMOD_LSHIFT));
    pollHolding({});
    EXPECT_TRUE(keyboard().isKeyReleased(SDL_SCANCODE_D) && keyboard().isModReleased(KMOD_SHIFT));
    EXPECT_FALSE(keyboard().isKeyDown(SDL_SCANCODE_D));
    pollHolding({});
    EXPECT_FALSE(keyboard().isKeyReleased(SDL_SCANCODE_D));

    // Down and up again between two polls is never seen.
    Keyboard::State held{};
    held[SDL_SCANCODE_SPACE] = 1;
    keyboard().setScript(held);
    keyboard().setScript({});
    input().pollEvents();
    EXPECT_FALSE(keyboard().isKeyPressed(SDL_SCANCODE_SPACE) || keyboard().isKeyReleased(SDL_SCANCODE_SPACE));
    // Scancodes outside the snapshot read as up.
    held.fill(1);
    keyboard().setScript(held);
    input().pollEvents();
    input().pollEvents();
    EXPECT_TRUE(keyboard().isKeyDown(static_cast<SDL_Scancode>(511)));
    for (const int code : {-1, 512, 100000}) {
        const auto key = static_cast<SDL_Scancode>(code);
        EXPECT_FALSE(keyboard().isKeyDown(key) || keyboard().isKeyPressed(key) || keyboard().isKeyReleased(key));
    }
    // Without a script the keyboard is SDL's own.
    keyboard().clearScript();
    SDL_SetModState(KMOD_LCTRL);
    input().pollEvents();
    EXPECT_TRUE(keyboard().isModDown(KMOD_CTRL));
    SDL_SetModState(KMOD_NONE);
    input().pollEvents();
    EXPECT_TRUE(keyboard().isModReleased(KMOD_CTRL));
}

TEST_F(InputTest, WheelFocusAndResizeLastOnePoll)
{
    pollAfter({wheel(0, 1), wheel(2, -3), windowEvent(SDL_WINDOWEVENT_FOCUS_LOST)});
    EXPECT_EQ(mouse().wheel(), (Point{2, -3})) << "the last event of a poll";
    EXPECT_TRUE(mouse().isWheelDown() && !mouse().isWheelUp());
    EXPECT_FALSE(input().isFocused());
    const auto before = logSize();
    pollAfter(
        {wheel(0, 4), windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED), windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600)});
    EXPECT_TRUE(mouse().isWheelUp() && input().isFocused() && input().wasResized());
    EXPECT_EQ(Core::instance().window().size(), (Size{800, 600}));
    EXPECT_NE(logSince(before).find("|INFO| Orientation changes\n"), std::string::npos);
    pollAfter({});
    EXPECT_EQ(mouse().wheel(), (Point{0, 0}));
    EXPECT_FALSE(mouse().isWheelUp() || mouse().isWheelDown() || input().wasResized());
    Core::instance().window().size() = kLogical;
}

TEST_F(InputTest, TypedTextIsCollectedOnlyWhileActive)
{
    TextInput& typing = input().textInput();
    ASSERT_FALSE(typing.isActive());
    pollAfter({text("lost")});
    typing.start();
    pollAfter({text("Due"), text("l")});
    pollAfter({text("fall \xc3\xa9")});
    EXPECT_EQ(typing.takeText(), "Duelfall \xc3\xa9");
    EXPECT_EQ(typing.takeText(), "");
    typing.stop();
    EXPECT_FALSE(typing.isActive());
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
    for (const int button : {-1, 0, 1, 33}) // none held, and numbers outside SDL's mask never are
        EXPECT_FALSE(
            mouse().isButtonDown(button) || mouse().isButtonPressed(button) || mouse().isButtonReleased(button));
    window.setSize(kLogical);
    input().pollEvents();
}

} // namespace
