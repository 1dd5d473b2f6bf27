// How the player feels, frame by frame, in the arena's three solids with the game's own pictures,
// animations and sounds: falling, resting, jumping, running, shooting, getting hurt, dying, restarting.

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

constexpr Point kSpawn{100, 400};
constexpr int kRestingTop = 532; // the floor's top (600) less the player's height (68)
const std::string kRowExplosion = "data/img/explosion/explode2.xml";

struct HeadlessEngine {
    HeadlessEngine() { startHeadlessCore(); }
};

// The arena and the bosses' weapons, as the frame update hands them to the player.
class PlayerTest : public ::testing::Test, private HeadlessEngine {
protected:
    PlayerTest()
        : player(makePlayer(kSpawn))
    {
    }

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

    struct Jump {
        double height = 0;
        int landedInFrame = 0;
    };
    // A jump from rest with the key held for the given number of frames; the first frame is the one
    // that starts the jump.
    Jump jumpHolding(int heldFrames)
    {
        settle();
        const double top = player.y();
        Jump jump;
        for (int f = 1; f <= 200 && jump.landedInFrame == 0; ++f) {
            player.setJumpKey(f <= heldFrames);
            frame();
            jump.height = std::max(jump.height, top - player.y());
            if (player.isOnGround())
                jump.landedInFrame = f;
        }
        player.setJumpKey(false);
        return jump;
    }

    Rocket rocketAt(Point at) { return Rocket("data/img/rocket.png", at); }
    Laser laserAt(Point at)
    {
        Laser laser("data/img/laser.png");
        laser.setPosition(at);
        return laser;
    }
    // A bullet that stays where it is put unless given a direction.
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
    Player player;
};

TEST_F(PlayerTest, LandsOnTheFloorInThe28thFrameThenRestsInAThreeFrameCycle)
{
    EXPECT_EQ(player.rect(), Rect(100, 400, 46, 68));
    EXPECT_EQ(player.getHealth(), 50);
    for (int f = 1; f <= 27; ++f) {
        frame();
        ASSERT_FALSE(player.isOnGround()) << "frame " << f;
        ASSERT_EQ(player.animState(), Player::kJumping) << "still falling in frame " << f;
    }
    frame();
    EXPECT_TRUE(player.isOnGround());
    EXPECT_EQ(player.rect(), Rect(100, kRestingTop, 46, 68));
    EXPECT_EQ(player.vy(), 0);
    EXPECT_EQ(player.animState(), Player::kIdle);

    // Resting: a frame that starts on the ground has no gravity, and a mere touch is no contact; the
    // next falls 0.35 (the rectangle stays), the third 0.7 more into the floor and is put back on it.
    const double restingY[] = {532, 532.35, 532};
    for (int f = 0; f < 12; ++f) {
        frame();
        EXPECT_NEAR(player.y(), restingY[f % 3], 1e-9) << "frame " << f;
        EXPECT_EQ(player.rect().y, kRestingTop);
        EXPECT_EQ(player.isOnGround(), f % 3 == 2) << "frame " << f;
        EXPECT_EQ(player.animState(), Player::kIdle);
    }
}

TEST_F(PlayerTest, JumpHeightDependsOnHowLongTheKeyIsHeld)
{
    frames(28);
    // One frame: one powered frame, then the rise is cut to 3.5 pixels a frame.
    const Jump tap = jumpHolding(1);
    EXPECT_NEAR(tap.height, 17, 0.1);
    EXPECT_EQ(tap.landedInFrame, 21);
    EXPECT_EQ(player.y(), kRestingTop);

    // Six frames: the cap is reached in the sixth but noticed only in the seventh, so the release
    // still cuts the rise.
    const Jump six = jumpHolding(6);
    EXPECT_NEAR(six.height, 39, 0.3);
    EXPECT_EQ(six.landedInFrame, 31);

    // Seven frames or more: the full jump.
    for (int held : {7, 8, 20, 47}) {
        const Jump full = jumpHolding(held);
        EXPECT_NEAR(full.height, 87, 0.2) << "held " << held;
        EXPECT_EQ(full.landedInFrame, 48) << "held " << held;
    }
}

TEST_F(PlayerTest, AJumpStartsOnlyInTheFrameAfterOneThatEndedOnTheGround)
{
    // Held while falling from the spawn, the key does nothing until the landing.
    frames(10);
    player.setJumpKey(true);
    frames(17);
    EXPECT_NEAR(player.vy(), 27 * 0.35, 1e-9) << "still falling in the 27th frame";
    frame();
    ASSERT_TRUE(player.isOnGround());
    frame();
    EXPECT_DOUBLE_EQ(player.vy(), -1.2) << "the first frame starts on the ground: no gravity";

    // Still held, the next jump starts right after the landing in the 48th frame.
    for (int f = 2; f <= 48; ++f)
        frame();
    ASSERT_TRUE(player.isOnGround());
    frame();
    EXPECT_DOUBLE_EQ(player.vy(), -1.2);
    EXPECT_LT(player.y(), kRestingTop);

    // Mid rest cycle (the previous frame did not end on the ground) the key does nothing yet.
    player.setJumpKey(false);
    frames(60);
    settle();
    frame();
    ASSERT_FALSE(player.isOnGround());
    player.setJumpKey(true);
    frame();
    EXPECT_GE(player.vy(), 0);
    frame();
    ASSERT_TRUE(player.isOnGround());
    frame();
    EXPECT_DOUBLE_EQ(player.vy(), -1.2);
}

TEST_F(PlayerTest, RunsWithInertiaBrakesToExactlyZeroAndStopsAtTheWalls)
{
    frames(28);
    holdKeys(false, true, false, false, false, false);
    double x = player.x();
    for (int f = 1; f <= 20; ++f) {
        frame();
        EXPECT_NEAR(player.vx(), std::min(0.35 * f, 4.0), 1e-9) << "frame " << f;
        EXPECT_NEAR(player.x(), x + player.vx(), 1e-9);
        x = player.x();
    }
    EXPECT_EQ(player.animState(), Player::kWalking);
    EXPECT_EQ(player.facing(), Player::kFacingRight);

    holdKeys(false, false, false, false, false, false);
    for (int f = 1; f <= 10; ++f) {
        frame();
        EXPECT_NEAR(player.vx(), 4.0 - 0.35 * f, 1e-9);
    }
    frame();
    EXPECT_EQ(player.vx(), 0.0) << "0.15 left: stopped exactly";
    frames(3);
    EXPECT_EQ(player.animState(), Player::kIdle);
    EXPECT_EQ(player.facing(), Player::kFacingRight);

    // Left wins when both directions are held; the walls stop the player at the screen edges.
    holdKeys(true, true, false, false, false, false);
    frame();
    EXPECT_NEAR(player.vx(), -0.35, 1e-9);
    EXPECT_EQ(player.facing(), Player::kFacingLeft);
    for (int f = 0; f < 200; ++f) {
        frame();
        ASSERT_GE(player.rect().x, 0);
    }
    EXPECT_EQ(player.rect().x, 0);

    holdKeys(false, true, false, false, false, false);
    for (int f = 0; f < 400; ++f) {
        frame();
        ASSERT_LE(player.rect().x, 978);
    }
    EXPECT_EQ(player.rect().x, 978);
}

TEST_F(PlayerTest, HoldingFireShootsEveryTenFramesAndTheDelayRunsOnlyWhileHeld)
{
    frames(28);
    std::vector<int> shotFrames;
    for (int f = 1; f <= 35; ++f) {
        const size_t before = player.getBullets().size();
        player.setFireKey(true);
        frame();
        if (player.getBullets().size() > before) {
            shotFrames.push_back(f);
            // Fired from the centre (123, 566) and moved once in the same frame.
            EXPECT_EQ(player.getBullets().back().getPosition(), Point(135, 566));
        }
    }
    EXPECT_EQ(shotFrames, (std::vector<int>{1, 11, 21, 31}));

    // Released for a while, the delay left is still to go.
    player.getBullets().clear();
    player.setFireKey(false);
    frames(30);
    int waited = 0;
    while (player.getBullets().empty() && waited < 20) {
        player.setFireKey(true);
        frame();
        ++waited;
    }
    EXPECT_EQ(waited, 6) << "four held frames since the last shot, six to go";
}

TEST_F(PlayerTest, TwentyBulletsAtMostAndBulletsBeyondTheScreenEdgesAreGone)
{
    frames(28);
    std::vector<Bullet>& bullets = player.getBullets();
    bullets.push_back(bulletAt({1012, 300}, Bullet::kRight)); // to x = 1024, then 1036
    bullets.push_back(bulletAt({12, 300}, Bullet::kLeft)); // to x = 0, then -12
    bullets.push_back(bulletAt({500, 708}, Bullet::kRight, Bullet::kStraightDown)); // to y = 720, then 732
    bullets.push_back(bulletAt({500, 12}, Bullet::kRight, Bullet::kStraightUp)); // to y = 0, then -12
    for (int i = 0; i < 15; ++i)
        bullets.push_back(bulletAt({500, 100 + i}));
    player.setFireKey(true);
    frame();
    ASSERT_EQ(bullets.size(), 20u);
    EXPECT_EQ(bullets[0].getPosition(), Point(1024, 300));
    EXPECT_EQ(bullets[1].getPosition(), Point(0, 300));
    EXPECT_EQ(bullets[2].getPosition(), Point(500, 720));
    EXPECT_EQ(bullets[3].getPosition(), Point(500, 0));
    EXPECT_EQ(bullets.back().getPosition(), Point(135, 566)) << "every bullet moves exactly once a frame";

    // The four neighbours leave together in the next frame; none is skipped.
    frame();
    ASSERT_EQ(bullets.size(), 16u);
    EXPECT_EQ(bullets[0].getPosition(), Point(500, 100));

    // With twenty in the air, held fire shoots nothing.
    for (int i = 0; i < 4; ++i)
        bullets.push_back(bulletAt({600, 100 + i}));
    for (int f = 0; f < 30; ++f) {
        player.setFireKey(true);
        frame();
        ASSERT_EQ(bullets.size(), 20u);
    }
    // One leaves the screen; the next shot leaves in the frame after (its delay has long elapsed).
    bullets[3].setPosition({1030, 300});
    player.setFireKey(true);
    frame();
    EXPECT_EQ(bullets.size(), 19u);
    player.setFireKey(true);
    frame();
    EXPECT_EQ(bullets.size(), 20u);
}

TEST_F(PlayerTest, ShootsInEightDirectionsUpWinningOverDown)
{
    struct Aim {
        bool left, right, up, down;
        int hdir, vdir;
    };
    const Aim aims[] = {
        {false, false, false, false, Bullet::kRight, Bullet::kLevel},
        {false, false, true, false, Bullet::kRight, Bullet::kStraightUp},
        {false, true, true, false, Bullet::kRight, Bullet::kDiagonalUp},
        {false, false, false, true, Bullet::kRight, Bullet::kStraightDown},
        {false, true, false, true, Bullet::kRight, Bullet::kDiagonalDown},
        {false, false, true, true, Bullet::kRight, Bullet::kStraightUp},
        {false, true, true, true, Bullet::kRight, Bullet::kDiagonalUp},
        {true, false, false, false, Bullet::kLeft, Bullet::kLevel},
        {true, false, true, false, Bullet::kLeft, Bullet::kDiagonalUp},
        {true, false, false, true, Bullet::kLeft, Bullet::kDiagonalDown},
        {true, true, true, true, Bullet::kLeft, Bullet::kDiagonalUp},
    };
    for (const Aim& aim : aims) {
        standAt(500);
        holdKeys(aim.left, aim.right, aim.up, aim.down, false, true);
        frame();
        ASSERT_EQ(player.getBullets().size(), 1u);
        const Bullet& bullet = player.getBullets().front();
        EXPECT_EQ(bullet.hdir(), aim.hdir);
        EXPECT_EQ(bullet.vdir(), aim.vdir);
        // The shot leaves the centre and takes its first step in the frame it is fired.
        Bullet reference
            = bulletAt({static_cast<int>(player.x() + 23), static_cast<int>(player.y() + 34)}, aim.hdir, aim.vdir);
        reference.move();
        EXPECT_EQ(bullet.getPosition(), reference.getPosition());
    }
}

TEST_F(PlayerTest, RocketsLasersAndFallingFireballsThatStrikeAreUsedUp)
{
    standAt(100); // the hit box is (100, 532, 46, 68)
    rockets
        = {rocketAt({300, 500}), rocketAt({120, 520}), rocketAt({140, 590}), rocketAt({146, 560}), rocketAt({20, 100})};
    frame();
    EXPECT_EQ(player.getHealth(), 30) << "two rockets in one frame cost 20";
    ASSERT_EQ(rockets.size(), 3u);
    EXPECT_EQ(rockets[0].position(), Point(300, 500));
    EXPECT_EQ(rockets[1].position(), Point(146, 560)) << "touching the edge is no hit";
    EXPECT_EQ(rockets[2].position(), Point(20, 100));

    standAt(100);
    lasers = {laserAt({85, 520}), laserAt({130, 580}), laserAt({600, 580}), laserAt({84, 516})};
    frame();
    EXPECT_EQ(player.getHealth(), 30);
    ASSERT_EQ(lasers.size(), 2u);
    EXPECT_EQ(lasers[0].position(), Point(600, 580));
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

    // A fireball that is burning is not touched itself: only its row counts.
    standAt(100);
    falling.explode();
    fireballs = {falling};
    frame();
    EXPECT_EQ(player.getHealth(), 50) << "no explosion has started";
    EXPECT_EQ(fireballs.size(), 1u);
}

TEST_F(PlayerTest, AnExplosionOfTheRowHurtsOnlyBetweenItsFirstAndLastFrames)
{
    // The fireball at x = 315 puts explosion 0, the last to burn, at x = 140: of the row only it
    // overlaps a player standing at x = 100.
    Fireball fireball("data/img/fireball.png", {315, 100});
    fireball.setExplosion(kRowExplosion);
    fireball.explode();
    fireball.update();
    ASSERT_EQ(fireball.row()[0].rect().x, 140);
    ASSERT_FALSE(fireball.row()[1].rect().intersects({100, kRestingTop, 46, 68}));
    const auto healthAfterAFrameBeside = [&] {
        standAt(100);
        fireballs = {fireball};
        frame();
        EXPECT_EQ(fireballs.size(), 1u) << "a burning fireball is never removed by the player";
        return player.getHealth();
    };

    while (fireball.row()[1].isFirstFrame() || !fireball.row()[1].isLastFrame())
        fireball.update();
    ASSERT_TRUE(fireball.row()[0].isFirstFrame());
    EXPECT_EQ(healthAfterAFrameBeside(), 50) << "its first frame";
    while (fireball.row()[0].isFirstFrame())
        fireball.update();
    int hurtingFrames = 0;
    for (; !fireball.row()[0].isLastFrame(); fireball.update(), ++hurtingFrames)
        EXPECT_EQ(healthAfterAFrameBeside(), 40) << "frame " << fireball.row()[0].current();
    EXPECT_GT(hurtingFrames, 0);
    ASSERT_TRUE(fireball.isDone());
    EXPECT_EQ(healthAfterAFrameBeside(), 50) << "its last frame";
}

TEST_F(PlayerTest, TheImpactAreaHurtsOnlyNineOrMorePixelsInsideItsEdge)
{
    const Size size = Animation("data/img/explosion/explode.xml", 0).rect().size();
    ASSERT_GT(size.w, 18);
    struct Case {
        Point corner;
        bool hurts;
    };
    // The player's hit box is (100, 532) to (146, 600).
    const Case cases[] = {
        {{146 - 9, 500}, false}, // the shrunk area's left edge on the right edge
        {{146 - 10, 500}, true}, // one pixel further in
        {{100 + 9 - size.w, 500}, false}, // from the left
        {{100 + 10 - size.w, 500}, true},
        {{110, 532 + 9 - size.h}, false}, // from above
        {{110, 532 + 10 - size.h}, true},
        {{110, 600 - 9}, false}, // from below
        {{110, 600 - 10}, true},
    };
    for (const Case& c : cases) {
        standAt(100);
        impactArea = Rect(c.corner, size);
        frame();
        EXPECT_EQ(player.getHealth(), c.hurts ? 40 : 50) << "impact area at " << c.corner;
    }
}

TEST_F(PlayerTest, AfterAHitNothingHurtsFor90FramesWhileThePlayerBlinks)
{
    standAt(100);
    rockets = {rocketAt({120, 540})};
    lasers = {laserAt({110, 560})};
    frame();
    EXPECT_EQ(player.getHealth(), 30) << "two hazards in one frame";
    EXPECT_TRUE(rockets.empty());
    EXPECT_TRUE(lasers.empty());
    EXPECT_TRUE(player.isInvulnerable());
    EXPECT_TRUE(player.isVisible());

    // Frames 2 to 91: every weapon passes through; shown and hidden in turns of two frames.
    rockets = {rocketAt({120, 540})};
    lasers = {laserAt({110, 560})};
    impactArea = Rect(80, 520, 96, 96);
    for (int f = 2; f <= 90; ++f) {
        frame();
        ASSERT_EQ(player.getHealth(), 30) << "frame " << f;
        ASSERT_TRUE(player.isInvulnerable()) << "frame " << f;
        EXPECT_EQ(player.isVisible(), (f / 2) % 2 == 0) << "frame " << f;
    }
    frame();
    EXPECT_EQ(player.getHealth(), 30) << "the 91st frame is still safe";
    EXPECT_FALSE(player.isInvulnerable());
    EXPECT_TRUE(player.isVisible());
    EXPECT_EQ(rockets.size(), 1u);
    EXPECT_EQ(lasers.size(), 1u);

    impactArea.reset();
    frame();
    EXPECT_EQ(player.getHealth(), 10);
    EXPECT_TRUE(rockets.empty());
    EXPECT_TRUE(lasers.empty());
    EXPECT_FALSE(player.isVisible()) << "the blink runs on from where the last hurt left it";
}

TEST_F(PlayerTest, TheFatalHitStartsAFadeThatEndsInThe49thFrameWhileBulletsFlyOn)
{
    standAt(100);
    player.setFireKey(true);
    frame();
    ASSERT_EQ(player.getBullets().size(), 1u);
    killAt(100);
    holdKeys(false, true, false, false, true, true);
    frame();
    EXPECT_TRUE(player.isDead());
    EXPECT_EQ(player.getHealth(), 0);
    EXPECT_FLOAT_EQ(player.fade(), 0.975f) << "the fade starts in the frame of the fatal hit";
    const Rect where = player.rect();
    Point bullet = player.getBullets().front().getPosition();

    for (int f = 2; f <= 49; ++f) {
        holdKeys(false, true, false, false, true, true);
        frame();
        const auto alpha = static_cast<uint8_t>(player.fade() * 255);
        EXPECT_EQ(player.texture().alpha(), alpha) << "frame " << f;
        EXPECT_EQ(walk.texture().alpha(), alpha) << "frame " << f;
        EXPECT_EQ(jump.texture().alpha(), alpha) << "frame " << f;
        // 40 steps of 0.025 in single precision leave a trace above 0, too little to show.
        EXPECT_EQ(player.texture().alpha() == 0, f >= 40) << "frame " << f;
        EXPECT_EQ(player.isFinished(), f == 49) << "frame " << f;
        // Frozen where it fell, no more shots, but its bullets fly on.
        EXPECT_EQ(player.rect(), where);
        bullet.x += 12;
        if (bullet.x <= 1024) {
            ASSERT_EQ(player.getBullets().size(), 1u) << "frame " << f;
            EXPECT_EQ(player.getBullets().front().getPosition(), bullet);
        }
    }
    EXPECT_EQ(player.fade(), 0.0f);
}

TEST_F(PlayerTest, RestartFromAnyStateGivesTheStartingPlayer)
{
    const auto expectFreshStart = [&](const char* from) {
        SCOPED_TRACE(from);
        player.restart();
        EXPECT_EQ(player.rect(), Rect(100, 400, 46, 68));
        EXPECT_EQ(player.vx() + player.vy(), 0);
        EXPECT_EQ(player.getHealth(), 50);
        EXPECT_EQ(player.facing(), Player::kFacingRight);
        EXPECT_TRUE(player.getBullets().empty());
        EXPECT_FALSE(player.isDead() || player.isFinished() || player.isInvulnerable() || player.isOnGround());
        EXPECT_TRUE(player.isVisible());
        EXPECT_EQ(std::min({player.texture().alpha(), walk.texture().alpha(), jump.texture().alpha()}), 255);
        // It falls onto the floor as at the spawn, with no key left held, and can shoot at once.
        rockets.clear();
        lasers.clear();
        frames(28);
        EXPECT_EQ(player.rect(), Rect(100, kRestingTop, 46, 68));
        EXPECT_TRUE(player.getBullets().empty());
        player.setFireKey(true);
        frame();
        EXPECT_EQ(player.getBullets().size(), 1u);
    };

    // Alive, running and in the middle of a powered jump, with bullets in flight.
    standAt(600);
    holdKeys(true, false, true, false, true, true);
    frames(4);
    ASSERT_LT(player.vy(), 0);
    expectFreshStart("mid-jump");

    // Hurt and blinking.
    standAt(300);
    rockets = {rocketAt({310, 550})};
    frames(3);
    ASSERT_FALSE(player.isVisible());
    expectFreshStart("hurt");
    rockets = {rocketAt({110, 550})};
    frame();
    EXPECT_EQ(player.getHealth(), 40) << "the invulnerability did not outlive the restart";
    EXPECT_TRUE(player.isVisible()) << "the blink timer starts afresh";

    // Dead and fading, then finished.
    for (int fadeFrames : {10, 49}) {
        standAt(300);
        killAt(300);
        frames(fadeFrames);
        ASSERT_TRUE(player.isDead());
        ASSERT_EQ(player.isFinished(), fadeFrames == 49);
        expectFreshStart(fadeFrames == 49 ? "finished" : "dead");
    }
    // The fade-out after the next death is as long as the first one.
    killAt(100);
    frames(48);
    EXPECT_TRUE(player.isDead());
    EXPECT_FALSE(player.isFinished());
    frame();
    EXPECT_TRUE(player.isFinished());
}

TEST_F(PlayerTest, DrawsItsPictureMirroredWhenFacingLeft)
{
    const Surface picture("data/img/player.png", Color{});
    standAt(300);
    const auto drawnFlip = [&](int flip) {
        return pictureMismatches(drawnFrame([&] { player.draw(); }), player.rect().position(), picture, flip);
    };
    ASSERT_EQ(player.facing(), Player::kFacingRight);
    EXPECT_EQ(drawnFlip(SDL_FLIP_NONE), 0);
    EXPECT_GT(drawnFlip(SDL_FLIP_HORIZONTAL), 0) << "the picture is not symmetric";

    holdKeys(true, false, false, false, false, false);
    frame();
    holdKeys(false, false, false, false, false, false);
    frames(20);
    settle();
    ASSERT_EQ(player.animState(), Player::kIdle);
    ASSERT_EQ(player.facing(), Player::kFacingLeft);
    EXPECT_EQ(drawnFlip(SDL_FLIP_HORIZONTAL), 0);
}

} // namespace
