// The player frame by frame in the arena's three solids with the game's own pictures, animations and
// sounds. Falling, resting, jumps of every hold, inertia, the walls and the rhythm of the shots are pinned
// frame by frame by the golden trace moves.trace (test_sim); here is what a trace cannot see.

#include "Player.h"

#include "Graphics/Animation.h"
#include "Graphics/Surface.h"
#include "support/GamePixels.h"
#include "support/Headless.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kRestingTop = 532; // the floor's top (600) less the player's height (68)
const std::string kRowExplosion = "data/img/explosion/explode2.xml";

struct HeadlessEngine {
    HeadlessEngine() { startHeadlessCore(); }
};

// The arena and the bosses' weapons, as the frame update hands them to the player.
class PlayerTest : public ::testing::Test, private HeadlessEngine {
protected:
    Player makePlayer(Point at)
    {
        Player made("data/img/player.png", at);
        made.setWalkAnimation(walk);
        made.setJumpAnimation(jump);
        made.setBullet("data/img/bullet.png");
        made.setShootSound("data/sfx/playerShoot.wav");
        made.setHitSound("data/sfx/playerHit.wav");
        return made;
    }

    void frame() { player.update(solids, rockets, impactArea, lasers, fireballs); }
    void frames(int count)
    {
        for (int i = 0; i < count; ++i)
            frame();
    }
    // Frames until one ends on the ground, so that the next frame can start a jump.
    void settle()
    {
        frame();
        for (int i = 0; i < 100 && !player.isOnGround(); ++i)
            frame();
        ASSERT_TRUE(player.isOnGround());
    }
    // A fresh player standing on the floor at x, rested, with no weapon around.
    void standAt(int x)
    {
        rockets.clear();
        lasers.clear();
        fireballs.clear();
        impactArea.reset();
        player = makePlayer({x, kRestingTop});
        settle();
    }
    void holdKeys(bool left, bool right, bool up, bool down, bool jump, bool fire)
    {
        player.setLeftKey(left);
        player.setRightKey(right);
        player.setUpKey(up);
        player.setDownKey(down);
        player.setJumpKey(jump);
        player.setFireKey(fire);
    }

    Rocket rocketAt(Point at) { return Rocket("data/img/rocket.png", at); }
    Laser laserAt(Point at)
    {
        Laser laser("data/img/laser.png");
        laser.setPosition(at);
        return laser;
    }
    Bullet bulletAt(Point at, int hdir = 2, int vdir = Bullet::kLevel)
    {
        Bullet bullet("data/img/bullet.png", at, hdir);
        bullet.setVdir(vdir);
        return bullet;
    }
    // Five lasers on the player standing at x: enough to kill in one frame.
    void killAt(int x)
    {
        for (int i = 0; i < 5; ++i)
            lasers.push_back(laserAt({x + 10, 550 + i}));
    }

    Animation walk{"data/img/playerAnimation/walk.xml", 1};
    Animation jump{"data/img/playerAnimation/jump.xml", 1};
    std::vector<Rect> solids{{0, 600, 1200, 300}, {-200, 0, 200, 1000}, {1024, 0, 200, 1000}};
    std::vector<Rocket> rockets;
    std::optional<Rect> impactArea;
    std::vector<Laser> lasers;
    std::vector<Fireball> fireballs;
    Player player = makePlayer({100, 400});
};

TEST_F(PlayerTest, TwentyBulletsAtMostAndBulletsBeyondTheScreenEdgesAreGone)
{
    std::vector<Bullet>& bullets = player.getBullets();
    standAt(100);
    bullets = {bulletAt({1012, 300}, Bullet::kRight), bulletAt({12, 300}, Bullet::kLeft),
        bulletAt({500, 708}, Bullet::kRight, Bullet::kStraightDown),
        bulletAt({500, 12}, Bullet::kRight, Bullet::kStraightUp)};
    for (int i = 0; i < 15; ++i)
        bullets.push_back(bulletAt({500, 100 + i}));
    player.setFireKey(true);
    frame();
    ASSERT_EQ(bullets.size(), 20u);
    const Point onTheEdges[] = {{1024, 300}, {0, 300}, {500, 720}, {500, 0}};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(bullets[i].getPosition(), onTheEdges[i]) << "still on the screen";
    // The four neighbours leave together in the next frame; none is skipped.
    frame();
    ASSERT_EQ(bullets.size(), 16u);
    EXPECT_EQ(bullets[0].getPosition(), Point(500, 100));
    for (int i = 0; i < 4; ++i)
        bullets.push_back(bulletAt({600, 100 + i}));
    for (int f = 0; f < 30; ++f) {
        player.setFireKey(true);
        frame();
        ASSERT_EQ(bullets.size(), 20u) << "with twenty in the air held fire shoots nothing";
    }
    bullets[3].setPosition({1030, 300});
    frame();
    EXPECT_EQ(bullets.size(), 19u);
    frame();
    EXPECT_EQ(bullets.size(), 20u) << "the next shot leaves in the frame after";
}

TEST_F(PlayerTest, ShootsInEightDirectionsUpWinningOverDown)
{
    const struct {
        bool left, right, up, down;
        int hdir, vdir;
    } aims[] = {{false, false, false, false, Bullet::kRight, Bullet::kLevel},
        {false, false, true, false, Bullet::kRight, Bullet::kStraightUp},
        {false, true, true, false, Bullet::kRight, Bullet::kDiagonalUp},
        {false, false, false, true, Bullet::kRight, Bullet::kStraightDown},
        {false, true, false, true, Bullet::kRight, Bullet::kDiagonalDown},
        {false, false, true, true, Bullet::kRight, Bullet::kStraightUp},
        {false, true, true, true, Bullet::kRight, Bullet::kDiagonalUp},
        {true, false, false, false, Bullet::kLeft, Bullet::kLevel},
        {true, false, true, false, Bullet::kLeft, Bullet::kDiagonalUp},
        {true, false, false, true, Bullet::kLeft, Bullet::kDiagonalDown},
        {true, true, true, true, Bullet::kLeft, Bullet::kDiagonalUp}};
    for (const auto& aim : aims) {
        standAt(500);
        holdKeys(aim.left, aim.right, aim.up, aim.down, false, true);
        frame();
        ASSERT_EQ(player.getBullets().size(), 1u);
        const Bullet& bullet = player.getBullets().front();
        EXPECT_EQ(bullet.hdir(), aim.hdir);
        EXPECT_EQ(bullet.vdir(), aim.vdir);
        Bullet reference
            = bulletAt({static_cast<int>(player.x() + 23), static_cast<int>(player.y() + 34)}, aim.hdir, aim.vdir);
        reference.move();
        EXPECT_EQ(bullet.getPosition(), reference.getPosition()) << "from the centre, one step in its frame";
    }
}

TEST_F(PlayerTest, HazardsThatStrikeAreUsedUpAndTouchingEdgesIsNoHit)
{
    standAt(100); // the hit box is (100, 532, 46, 68)
    rockets
        = {rocketAt({300, 500}), rocketAt({120, 520}), rocketAt({140, 590}), rocketAt({146, 560}), rocketAt({20, 100})};
    frame();
    EXPECT_EQ(player.getHealth(), 30) << "two rockets in one frame cost 20";
    ASSERT_EQ(rockets.size(), 3u);
    EXPECT_EQ(rockets[1].position(), Point(146, 560)) << "touching the edge is no hit";

    standAt(100);
    lasers = {laserAt({85, 520}), laserAt({130, 580}), laserAt({600, 580}), laserAt({84, 516})};
    frame();
    EXPECT_EQ(player.getHealth(), 30);
    ASSERT_EQ(lasers.size(), 2u);
    EXPECT_EQ(lasers[1].position(), Point(84, 516)) << "only corners touch";

    standAt(100);
    Fireball falling("data/img/fireball.png", {110, 525});
    falling.setExplosion(kRowExplosion);
    Fireball far = falling;
    far.setPosition({700, 300});
    fireballs = {far, falling, falling, far};
    frame();
    EXPECT_EQ(player.getHealth(), 30);
    ASSERT_EQ(fireballs.size(), 2u);
    EXPECT_EQ(fireballs[1].position(), Point(700, 300));

    standAt(100);
    falling.explode();
    fireballs = {falling};
    frame();
    EXPECT_EQ(player.getHealth(), 50) << "a burning fireball is not touched itself, and no explosion has started";
    EXPECT_EQ(fireballs.size(), 1u);

    // The impact explosion hurts only nine or more pixels inside its edge.
    const Size size = Animation("data/img/explosion/explode.xml", 0).rect().size();
    const std::pair<Point, bool> corners[]
        = {{{137, 500}, false}, {{136, 500}, true}, {{109 - size.w, 500}, false}, {{110 - size.w, 500}, true},
            {{110, 541 - size.h}, false}, {{110, 542 - size.h}, true}, {{110, 591}, false}, {{110, 590}, true}};
    for (const auto& [corner, hurts] : corners) {
        standAt(100);
        impactArea = Rect(corner, size);
        frame();
        EXPECT_EQ(player.getHealth(), hurts ? 40 : 50) << "impact area at " << corner;
    }
}

TEST_F(PlayerTest, AnExplosionOfTheRowHurtsOnlyBetweenItsFirstAndLastFrames)
{
    // The fireball at x = 315 puts explosion 0, the last to burn, at x = 140: only it overlaps the player.
    Fireball fireball("data/img/fireball.png", {315, 100});
    fireball.setExplosion(kRowExplosion);
    fireball.explode();
    fireball.update();
    ASSERT_EQ(fireball.row()[0].rect().x, 140);
    const auto healthAfterAFrameBeside = [&] {
        standAt(100);
        fireballs = {fireball};
        frame();
        EXPECT_EQ(fireballs.size(), 1u) << "a burning fireball is never removed by the player";
        return player.getHealth();
    };
    while (fireball.row()[1].isFirstFrame() || !fireball.row()[1].isLastFrame())
        fireball.update();
    EXPECT_EQ(healthAfterAFrameBeside(), 50) << "its first frame";
    while (fireball.row()[0].isFirstFrame())
        fireball.update();
    int hurtingFrames = 0;
    for (; !fireball.row()[0].isLastFrame(); fireball.update(), ++hurtingFrames)
        EXPECT_EQ(healthAfterAFrameBeside(), 40) << "frame " << fireball.row()[0].current();
    EXPECT_GT(hurtingFrames, 0);
    EXPECT_EQ(healthAfterAFrameBeside(), 50) << "its last frame";
}

// The fade's alpha, the frozen body and the bullets flying on are pinned by the golden world trace
// (test_game); here the animations fade with the picture.
TEST_F(PlayerTest, TheFatalHitStartsAFadeOfPictureAndAnimationsThatEndsInThe49thFrame)
{
    standAt(100);
    killAt(100);
    for (int f = 1; f <= 49; ++f) {
        holdKeys(false, true, false, false, true, true);
        frame();
        const auto alpha = static_cast<uint8_t>(player.fade() * 255);
        EXPECT_EQ(player.texture().alpha(), alpha) << "frame " << f;
        EXPECT_EQ(walk.texture().alpha(), alpha) << "frame " << f;
        EXPECT_EQ(jump.texture().alpha(), alpha) << "frame " << f;
        // 40 steps of 0.025 in single precision leave a trace above 0, too little to show.
        EXPECT_EQ(player.texture().alpha() == 0, f >= 40) << "frame " << f;
        EXPECT_EQ(player.isFinished(), f == 49) << "frame " << f;
    }
}

// The restart after a game over is pinned by the golden world trace (test_game); here from the middle of a
// jump and from the middle of a blink.
TEST_F(PlayerTest, RestartFromAnyStateGivesTheStartingPlayer)
{
    const auto expectFreshStart = [&] {
        player.restart();
        EXPECT_EQ(player.rect(), Rect(100, 400, 46, 68));
        EXPECT_EQ(player.vx() + player.vy(), 0);
        EXPECT_EQ(player.getHealth(), 50);
        EXPECT_EQ(player.facing(), Player::kFacingRight);
        EXPECT_TRUE(player.getBullets().empty() && player.isVisible());
        EXPECT_FALSE(player.isDead() || player.isFinished() || player.isInvulnerable() || player.isOnGround());
        rockets.clear();
        lasers.clear();
        frames(28);
        EXPECT_EQ(player.rect(), Rect(100, kRestingTop, 46, 68)) << "no key left held";
    };
    standAt(600);
    holdKeys(true, false, true, false, true, true);
    frames(4);
    ASSERT_LT(player.vy(), 0);
    expectFreshStart();
    standAt(300);
    rockets = {rocketAt({310, 550})};
    frames(3);
    ASSERT_FALSE(player.isVisible());
    expectFreshStart();
    rockets = {rocketAt({110, 550})};
    frame();
    EXPECT_EQ(player.getHealth(), 40) << "the invulnerability did not outlive the restart";
    EXPECT_TRUE(player.isVisible()) << "the blink timer starts afresh";
}

TEST_F(PlayerTest, DrawsItsPictureMirroredWhenFacingLeft)
{
    const Surface picture("data/img/player.png", Color{});
    standAt(300);
    const auto drawnFlip = [&](int flip) {
        return pictureMismatches(drawnFrame([&] { player.draw(); }), player.rect().position(), picture, flip);
    };
    EXPECT_EQ(drawnFlip(SDL_FLIP_NONE), 0);
    EXPECT_GT(drawnFlip(SDL_FLIP_HORIZONTAL), 0) << "the picture is not symmetric";
    holdKeys(true, false, false, false, false, false);
    frame();
    holdKeys(false, false, false, false, false, false);
    frames(20);
    settle();
    ASSERT_EQ(player.facing(), Player::kFacingLeft);
    EXPECT_EQ(drawnFlip(SDL_FLIP_HORIZONTAL), 0);
}

} // namespace
