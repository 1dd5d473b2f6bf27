// The game's world and its two frame callables, driven in-process with the scripted keyboard the way the
// game's own loop drives them: what the golden traces of test_sim cannot see (bars, music, text, keys).

#include "Autopilot.h"
#include "GameFrame.h"
#include "World.h"

#include "Core/Core.h"
#include "Graphics/Surface.h"
#include "Math/Random.h"
#include "support/Golden.h"
#include "support/Headless.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdio>
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
        // The boss's own rockets are kept out while the player is invulnerable.
        for (int i = 0; i < 91; ++i) {
            world->boss01.rockets().clear();
            frames(1);
        }
    }

    std::unique_ptr<World> world;
};

// What one frame leaves of the world beyond the simulator's trace: speeds, flags, fades, tints and sounds.
std::string worldRow(World& w)
{
    const Player& p = w.player;
    const Boss01& b1 = w.boss01;
    const Boss02& b2 = w.boss02;
    const auto flags = [](std::initializer_list<bool> bits) {
        std::string text;
        for (bool bit : bits)
            text += bit ? '1' : '0';
        return text;
    };
    const Texture b1Texture = b1.animation()->texture();
    char row[400];
    std::snprintf(row, sizeof row,
        "%.2f %.2f %.2f %.2f %d %s %d %d %d %zu %d %d %d %d %s %d %d %zu %d %d %d %d %d %s %d %d %zu %zu %d %d", p.x(),
        p.y(), p.vx(), p.vy(), p.getHealth(),
        flags({p.isDead(), p.isFinished(), p.isInvulnerable(), p.isVisible(), p.isOnGround()}).c_str(), p.animState(),
        p.facing(), p.texture().alpha(), w.player.getBullets().size(), b1.rect().x, b1.rect().y, b1.direction(),
        b1.health(), flags({b1.isDead(), b1.isFinished(), b1.isFlashOn(), b1.impactArea().has_value()}).c_str(),
        b1Texture.alpha(), b1Texture.colorMod().g, w.boss01.rockets().size(), b1.explosionSoundStarts(), b2.rect().x,
        b2.rect().y, b2.rect().w, b2.health(),
        flags({b2.isDead(), b2.isFinished(), b2.isTransforming(), b2.isSecondStage(), b2.isInvulnerable(),
                  b2.isShowingSecondLook(), b2.isFlashOn()})
            .c_str(),
        b2.currentTexture().alpha(), b2.currentTexture().colorMod().g, w.boss02.lasers().size(),
        w.boss02.fireballs().size(), b2.laserSoundStarts(), b2.explosionSoundStarts());
    return row;
}

} // namespace

TEST(KeyBindings, EachKeyAloneSetsItsFlagAndTwoKeysOfOneFlagSetItOnce)
{
    startHeadlessCore();
    const auto inputWith = [](std::initializer_list<SDL_Scancode> keys) {
        Keyboard::State held{};
        for (SDL_Scancode key : keys)
            held[key] = 1;
        Core::keyboard().setScript(held);
        Core::keyboard().takeSnapshot();
        const PlayerInput in = readPlayerInput(Core::keyboard());
        return std::string{in.left ? 'l' : '.', in.right ? 'r' : '.', in.up ? 'u' : '.', in.down ? 'd' : '.',
            in.jump ? 'j' : '.', in.fire ? 'f' : '.'};
    };
    const std::pair<SDL_Scancode, const char*> bindings[] = {{SDL_SCANCODE_A, "l....."}, {SDL_SCANCODE_LEFT, "l....."},
        {SDL_SCANCODE_D, ".r...."}, {SDL_SCANCODE_RIGHT, ".r...."}, {SDL_SCANCODE_W, "..u..."},
        {SDL_SCANCODE_UP, "..u..."}, {SDL_SCANCODE_S, "...d.."}, {SDL_SCANCODE_DOWN, "...d.."},
        {SDL_SCANCODE_SPACE, "....j."}, {SDL_SCANCODE_LCTRL, ".....f"}, {SDL_SCANCODE_LSHIFT, ".....f"},
        {SDL_SCANCODE_RSHIFT, ".....f"}, {SDL_SCANCODE_RCTRL, ".....f"}, {SDL_SCANCODE_RETURN, "......"}};
    for (const auto& [key, flags] : bindings)
        EXPECT_EQ(inputWith({key}), flags) << "scancode " << key;
    EXPECT_EQ(inputWith({SDL_SCANCODE_A, SDL_SCANCODE_LEFT}), "l.....");
    Core::keyboard().clearScript();
}

// The autopilot's game in-process (seed 1), every frame updated but not drawn, against the golden trace
// world.trace: it loses the first fight on purpose and restarts, then wins. Frame by frame: the player's
// speeds, hits, blinking, animation, facing and fade, both bosses' flags, flash, fade, tint and sounds, their
// shots, to 300 frames after the victory.
TEST_F(GameTest, TheAutopilotsWholeFightFollowsTheGoldenWorldTrace)
{
    Random::seed(1);
    world = std::make_unique<World>();
    Autopilot autopilot(1);
    std::vector<std::string> rows;
    for (int sinceVictory = 0; sinceVictory < 300 && rows.size() < 20000; sinceVictory += world->boss02.isFinished()) {
        Core::keyboard().setScript(autopilot.decide(*world));
        Core::keyboard().takeSnapshot();
        updateFrame(*world);
        if (world->player.isFinished() && Core::keyboard().isKeyDown(SDL_SCANCODE_RETURN))
            restartFight(*world); // as the game-over screen's draw step does
        rows.push_back(worldRow(*world));
    }
    expectGolden(rows, "world.trace",
        "x y vx vy health dead.finished.invulnerable.visible.ground anim facing alpha bullets boss1_x boss1_y "
        "boss1_direction boss1_health dead.finished.flash.impact boss1_alpha boss1_tint_g rockets boss1_sounds "
        "boss2_x boss2_y boss2_w boss2_health dead.finished.transforming.stage.invulnerable.look.flash boss2_alpha "
        "boss2_tint_g lasers fireballs laser_sounds boss2_sounds");
}

TEST_F(GameTest, TheMusicStartsInTheFirstFrameAndTheBarsStandWhereTheArenaPutsThem)
{
    EXPECT_FALSE(world->music.wasPlayed());
    frames(1);
    EXPECT_TRUE(world->music.wasPlayed());
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    EXPECT_EQ(world->bossBar.rect().position(), Point(120, 683));
    EXPECT_EQ(world->youBar.rect().position(), Point(120, 647));
    EXPECT_EQ(world->victoryText.rect().position(), Point(95, 170));
    EXPECT_EQ(world->victoryMessage.size(), 112u);
}

TEST_F(GameTest, ThePlayerBarAtTenHealthEndsAtX130)
{
    frames(30);
    for (int hit = 0; hit < 4; ++hit)
        hitPlayer();
    ASSERT_EQ(world->player.getHealth(), 10);
    EXPECT_EQ(world->youBar.rect().w, 10);
    EXPECT_EQ(world->youBarRight.rect().x, 130);
    EXPECT_EQ(world->youBarLeft.rect().right(), 120);
    // The body and the right cap are really drawn there: where their pictures are opaque, the frame shows
    // their own colours.
    const Image frame = Core::instance().captureFrame();
    const int row = world->youBar.rect().h / 2;
    const Color body = Surface("data/img/bar_y.png", Color()).pixel({0, row});
    const Color cap = Surface("data/img/right_bar_y.png", Color()).pixel({0, row});
    ASSERT_TRUE(body.a == 255 && cap.a == 255);
    for (const auto& [x, color] : {std::pair{120, body}, {129, body}, {130, cap}})
        EXPECT_EQ(frame.pixel(x, world->youBar.rect().y + row), Color(color.r, color.g, color.b, 255)) << x;
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

TEST_F(GameTest, GameOverFreezesTheFightAndKeypadEnterRestartsEverythingInTheSameFrame)
{
    frames(30);
    while (world->player.getHealth() > 10)
        hitPlayer();
    dropRocketOnPlayer();
    while (!world->player.isFinished())
        frames(1);
    hold({SDL_SCANCODE_KP_ENTER});
    frames(1);
    EXPECT_FALSE(world->player.isFinished());
    EXPECT_EQ(world->player.getHealth(), 50);
    EXPECT_EQ(world->boss01.health(), 880);
    EXPECT_EQ(world->boss01.rect(), Rect(400, 30, 170, 104));
    EXPECT_EQ(world->boss02.rect(), Rect(700, 120, 79, 94));
    EXPECT_EQ(Mix_PlayingMusic(), 1) << "the music goes on";
    frames(5);
    EXPECT_NE(world->boss01.rect().x, 400) << "holding Enter on does nothing more: the fight runs";
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
        ASSERT_TRUE(frame == 280 || shown != world->victoryMessage) << "complete already in frame " << frame;
    }
    EXPECT_EQ(world->victoryText.text(), world->victoryMessage);
    frames(20);
    EXPECT_EQ(world->victoryText.text(), world->victoryMessage);
}
