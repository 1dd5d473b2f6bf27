// The game's world and its two frame callables, driven frame by frame in-process with the scripted
// keyboard, the way the game's own loop drives them.

#include "GameFrame.h"
#include "World.h"

#include "Core/Core.h"
#include "Graphics/Surface.h"
#include "support/Headless.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <initializer_list>

namespace {

class GameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        startHeadlessCore();
        world = std::make_unique<World>();
        Core::instance().scenes().setGlobalScene(makeScene(*world));
        hold({});
    }

    void TearDown() override
    {
        Core::instance().scenes().setGlobalScene(Scene());
        Core::keyboard().clearScript();
    }

    static void hold(std::initializer_list<SDL_Scancode> keys)
    {
        Keyboard::State held{};
        for (SDL_Scancode key : keys)
            held[key] = 1;
        Core::keyboard().setScript(held);
    }

    static void frames(int count)
    {
        for (int i = 0; i < count; ++i)
            Core::instance().runFrame();
    }

    // A bullet placed so that, after this frame's move, it lies inside the rectangle.
    void aimAt(const Rect& target)
    {
        Bullet bullet = bulletPrototype();
        bullet.setVdir(Bullet::kStraightUp);
        bullet.setPosition(
            {target.center().x - Bullet::kSize / 2, target.center().y + Bullet::kStep - Bullet::kSize / 2});
        world->player.getBullets().push_back(bullet);
    }

    Bullet bulletPrototype()
    {
        static Bullet prototype("data/img/bullet.png", {0, 0}, Bullet::kRight);
        return prototype;
    }

    // Frames until the first boss has finished its death sequence, hitting it every frame it can be hit.
    void defeatFirstBoss()
    {
        while (!world->boss01.isFinished()) {
            if (!world->boss01.isDead())
                aimAt(world->boss01.hitbox());
            frames(1);
        }
    }

    void defeatSecondBoss()
    {
        while (!world->boss02.isFinished()) {
            if (!world->boss02.isDead() && !world->boss02.isTransforming()) {
                // The second boss moves before it tests the bullets: aim at where it will be.
                Rect next = world->boss02.rect();
                next.y += world->boss02.directionY() == 1 ? 3 : -3;
                aimAt(next);
            }
            frames(1);
        }
    }

    // A rocket dropped onto the player's head: one hit, then the player is invulnerable for 91 frames.
    void dropRocketOnPlayer()
    {
        static Rocket rocket("data/img/rocket.png", {0, 0});
        Rocket onHead = rocket;
        onHead.setPosition(world->player.rect().center());
        world->boss01.rockets().push_back(onHead);
    }

    void hitPlayer()
    {
        dropRocketOnPlayer();
        frames(1);
        // The boss's own rockets are kept out while the player is invulnerable, so that only our hits count.
        for (int i = 0; i < 91; ++i) {
            world->boss01.rockets().clear();
            frames(1);
        }
    }

    std::unique_ptr<World> world;
};

Color pixelAt(const Image& image, int x, int y) { return image.pixel(x, y); }

} // namespace

TEST(KeyBindings, EachKeyAloneSetsItsFlagAndTwoKeysOfOneFlagSetItOnce)
{
    startHeadlessCore();
    Keyboard& keyboard = Core::keyboard();
    auto inputWith = [&](std::initializer_list<SDL_Scancode> keys) {
        Keyboard::State held{};
        for (SDL_Scancode key : keys)
            held[key] = 1;
        keyboard.setScript(held);
        keyboard.takeSnapshot();
        return readPlayerInput(keyboard);
    };
    struct Binding {
        SDL_Scancode key;
        bool PlayerInput::*flag;
    };
    const Binding bindings[] = {
        {SDL_SCANCODE_A, &PlayerInput::left},
        {SDL_SCANCODE_LEFT, &PlayerInput::left},
        {SDL_SCANCODE_D, &PlayerInput::right},
        {SDL_SCANCODE_RIGHT, &PlayerInput::right},
        {SDL_SCANCODE_W, &PlayerInput::up},
        {SDL_SCANCODE_UP, &PlayerInput::up},
        {SDL_SCANCODE_S, &PlayerInput::down},
        {SDL_SCANCODE_DOWN, &PlayerInput::down},
        {SDL_SCANCODE_SPACE, &PlayerInput::jump},
        {SDL_SCANCODE_LCTRL, &PlayerInput::fire},
        {SDL_SCANCODE_LSHIFT, &PlayerInput::fire},
        {SDL_SCANCODE_RSHIFT, &PlayerInput::fire},
        {SDL_SCANCODE_RCTRL, &PlayerInput::fire},
    };
    const bool PlayerInput::*flags[] = {&PlayerInput::left, &PlayerInput::right, &PlayerInput::up, &PlayerInput::down,
        &PlayerInput::jump, &PlayerInput::fire};
    for (const Binding& binding : bindings) {
        const PlayerInput input = inputWith({binding.key});
        for (auto flag : flags)
            EXPECT_EQ(input.*flag, flag == binding.flag) << "scancode " << binding.key;
    }
    const PlayerInput both = inputWith({SDL_SCANCODE_A, SDL_SCANCODE_LEFT});
    EXPECT_TRUE(both.left);
    EXPECT_FALSE(both.right);
    EXPECT_FALSE(inputWith({SDL_SCANCODE_RETURN}).fire);
    keyboard.clearScript();
}

TEST_F(GameTest, TheWorldStartsWhereTheArenaPutsIt)
{
    EXPECT_EQ(world->player.rect(), Rect(100, 400, 46, 68));
    EXPECT_EQ(world->boss01.rect(), Rect(400, 30, 170, 104));
    EXPECT_EQ(world->boss02.rect(), Rect(700, 120, 79, 94));
    EXPECT_EQ(world->background.rect().position(), Point(0, 0));
    EXPECT_EQ(world->bossBar.rect().position(), Point(120, 683));
    EXPECT_EQ(world->youBar.rect().position(), Point(120, 647));
    EXPECT_EQ(world->victoryText.rect().position(), Point(95, 170));
    EXPECT_EQ(world->victoryText.text(), "");
    EXPECT_EQ(world->victoryMessage.size(), 112u);
    EXPECT_FALSE(world->music.wasPlayed());
}

TEST_F(GameTest, TheMusicStartsInTheFirstFrameAndTheSecondBossWaits)
{
    frames(1);
    EXPECT_TRUE(world->music.wasPlayed());
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    frames(199);
    EXPECT_EQ(world->boss02.rect(), Rect(700, 120, 79, 94));
    EXPECT_TRUE(world->boss02.lasers().empty());
    EXPECT_TRUE(world->boss02.fireballs().empty());
    EXPECT_NE(world->boss01.rect().x, 400);
}

TEST_F(GameTest, ThePlayerBarAtTenHealthEndsAtX130)
{
    frames(30);
    for (int hit = 0; hit < 4; ++hit)
        hitPlayer();
    ASSERT_EQ(world->player.getHealth(), 10);
    const Image frame = Core::instance().captureFrame();
    const int row = world->youBar.rect().y + world->youBar.rect().h / 2;
    const Rect cap = world->youBarRight.rect();
    EXPECT_EQ(world->youBar.rect().w, 10);
    EXPECT_EQ(cap.x, 130);
    EXPECT_EQ(world->youBarLeft.rect().right(), 120);
    // The body and the right cap are really drawn there: where their pictures are opaque, the frame shows
    // their own colours.
    const Surface body("data/img/bar_y.png", Color());
    const Surface rightCap("data/img/right_bar_y.png", Color());
    const int inPicture = row - world->youBar.rect().y;
    const Color bodyColor = body.pixel({0, inPicture});
    const Color capColor = rightCap.pixel({0, inPicture});
    if (bodyColor.a == 255) {
        EXPECT_EQ(pixelAt(frame, 120, row), Color(bodyColor.r, bodyColor.g, bodyColor.b, 255));
        EXPECT_EQ(pixelAt(frame, 129, row), Color(bodyColor.r, bodyColor.g, bodyColor.b, 255));
    }
    if (capColor.a == 255) {
        EXPECT_EQ(pixelAt(frame, 130, row), Color(capColor.r, capColor.g, capColor.b, 255));
    }
}

TEST_F(GameTest, TheBossBarSwitchesToTheSecondBossInTheFrameTheFirstIsFinished)
{
    while (!world->boss01.isFinished()) {
        if (!world->boss01.isDead())
            aimAt(world->boss01.hitbox());
        frames(1);
        if (!world->boss01.isFinished()) {
            EXPECT_EQ(world->boss02.rect(), Rect(700, 120, 79, 94)) << "the second boss waits";
        }
    }
    // In the frame the first boss finished, the second boss's full bar is drawn.
    EXPECT_EQ(world->bossBar.rect().w, 880);
    EXPECT_EQ(world->bossBarRight.rect().x, 1000);
    frames(1);
    EXPECT_NE(world->boss02.rect(), Rect(700, 120, 79, 94)) << "the second boss takes over";
}

TEST_F(GameTest, GameOverFreezesTheFightAndEnterRestartsEverythingInTheSameFrame)
{
    frames(30);
    while (world->player.getHealth() > 10)
        hitPlayer();
    dropRocketOnPlayer();
    frames(1);
    ASSERT_TRUE(world->player.isDead());
    // Enter does nothing while the player is still fading out.
    hold({SDL_SCANCODE_RETURN});
    frames(1);
    EXPECT_TRUE(world->player.isDead());
    hold({});
    while (!world->player.isFinished())
        frames(1);

    const Rect bossWhenFrozen = world->boss01.rect();
    frames(30);
    EXPECT_EQ(world->boss01.rect(), bossWhenFrozen) << "nothing moves on the game-over screen";

    hold({SDL_SCANCODE_KP_ENTER});
    frames(1);
    EXPECT_FALSE(world->player.isFinished());
    EXPECT_EQ(world->player.getHealth(), 50);
    EXPECT_EQ(world->boss01.health(), 880);
    EXPECT_EQ(world->boss01.rect(), Rect(400, 30, 170, 104));
    EXPECT_EQ(world->boss02.rect(), Rect(700, 120, 79, 94));
    EXPECT_TRUE(world->boss01.rockets().empty());
    EXPECT_EQ(Mix_PlayingMusic(), 1) << "the music goes on";

    // Holding Enter on does nothing more: the fight runs.
    frames(5);
    EXPECT_NE(world->boss01.rect().x, 400);
}

TEST_F(GameTest, VictoryRevealsTheMessageInWholeLettersAndCompletesAfter280Frames)
{
    defeatFirstBoss();
    defeatSecondBoss();
    // The frame in which the second boss finished already showed 0.4 bytes: nothing yet.
    EXPECT_EQ(world->victoryText.text(), "");
    int frame = 1;
    while (frame < 280) {
        frames(1);
        ++frame;
        const std::string& shown = world->victoryText.text();
        ASSERT_LE(shown.size(), static_cast<size_t>(world->revealed));
        ASSERT_EQ(world->victoryMessage.compare(0, shown.size(), shown), 0);
        if (!shown.empty()) {
            ASSERT_NE(static_cast<unsigned char>(shown.back()) & 0xC0, 0xC0) << "no dangling lead byte";
        }
    }
    EXPECT_EQ(world->victoryText.text(), world->victoryMessage);
    frames(20);
    EXPECT_EQ(world->victoryText.text(), world->victoryMessage);
}

TEST(VictoryText, PrefixesAreCutBackToWholeCharacters)
{
    const std::string text = "aЖb"; // 'Ж' takes two bytes
    EXPECT_EQ(wholeCharacterPrefix(text, 0), "");
    EXPECT_EQ(wholeCharacterPrefix(text, 1), "a");
    EXPECT_EQ(wholeCharacterPrefix(text, 2), "a");
    EXPECT_EQ(wholeCharacterPrefix(text, 3), "aЖ");
    EXPECT_EQ(wholeCharacterPrefix(text, 4), "aЖb");
    EXPECT_EQ(wholeCharacterPrefix(text, 99), "aЖb");
}
