// How the player feels, frame by frame: the fall onto the floor, the rest cycle, jumps whose height
// depends on how long the key is held, running with inertia between the walls, shooting in eight
// directions, the bosses' weapons, invulnerability, death and restart. Driven with the arena's three
// solids and the game's own pictures, animations and sounds.

#include "Player.h"

#include "Core/Core.h"
#include "Graphics/Animation.h"
#include "Graphics/Renderer.h"
#include "Graphics/Surface.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr Point kSpawn{100, 400};
constexpr int kRestingTop = 532; // the floor's top (600) less the player's height (68)
constexpr Color kBackground{10, 20, 30, 255};

const std::string kWalk = "data/img/playerAnimation/walk.xml";
const std::string kJump = "data/img/playerAnimation/jump.xml";
const std::string kExplosion = "data/img/explosion/explode.xml";
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
    // A bullet that stays where it is put: its horizontal direction is neither left nor right.
    Bullet stillBullet(Point at) { return Bullet("data/img/bullet.png", at, 2); }

    Animation walk{kWalk, 1};
    Animation jump{kJump, 1};
    std::vector<Rect> solids{{0, 600, 1200, 300}, {-200, 0, 200, 1000}, {1024, 0, 200, 1000}};
    std::vector<Rocket> rockets;
    std::optional<Rect> impactArea;
    std::vector<Laser> lasers;
    std::vector<Fireball> fireballs;
    Player player;
};

// ---------------------------------------------------------------------------------------------------
// Falling, resting and jumping

TEST_F(PlayerTest, SpawnsInTheAirAndLandsOnTheFloorInThe28thFrame)
{
    EXPECT_EQ(player.rect(), Rect(100, 400, 46, 68));
    EXPECT_EQ(player.animState(), Player::kJumping);
    EXPECT_EQ(player.getHealth(), 50);
    for (int f = 1; f <= 27; ++f) {
        frame();
        ASSERT_FALSE(player.isOnGround()) << "frame " << f;
        ASSERT_LE(player.rect().y, kRestingTop) << "frame " << f;
        ASSERT_EQ(player.animState(), Player::kJumping) << "still falling in frame " << f;
        ASSERT_EQ(player.rect().position(), Point(static_cast<int>(player.x()), static_cast<int>(player.y())));
    }
    frame();
    EXPECT_TRUE(player.isOnGround());
    EXPECT_EQ(player.y(), kRestingTop);
    EXPECT_EQ(player.rect().y, kRestingTop);
    EXPECT_EQ(player.vy(), 0);
    EXPECT_EQ(player.animState(), Player::kIdle);
    EXPECT_EQ(player.x(), 100);
}

TEST_F(PlayerTest, RestsOnTheFloorInAThreeFrameCycle)
{
    frames(28);
    ASSERT_TRUE(player.isOnGround());
    for (int cycle = 0; cycle < 4; ++cycle) {
        // Starts on the ground: no gravity, no move, and a mere touch is no contact.
        frame();
        EXPECT_EQ(player.y(), 532);
        EXPECT_FALSE(player.isOnGround());
        // Falls 0.35: the rectangle stays at 532.
        frame();
        EXPECT_NEAR(player.y(), 532.35, 1e-9);
        EXPECT_EQ(player.rect().y, kRestingTop);
        EXPECT_FALSE(player.isOnGround());
        // Falls 0.7 more into the floor and is put back on it.
        frame();
        EXPECT_EQ(player.y(), 532);
        EXPECT_TRUE(player.isOnGround());
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

TEST_F(PlayerTest, JumpSpeedBuildsUpForSixFramesThenCoasts)
{
    frames(28);
    settle();
    player.setJumpKey(true);
    frame();
    EXPECT_DOUBLE_EQ(player.vy(), -1.2) << "the first frame starts on the ground: no gravity";
    EXPECT_EQ(player.animState(), Player::kJumping);
    const double powered[] = {-2.4, -3.6, -4.8, -6.0, -7.2};
    for (double speed : powered) {
        frame();
        EXPECT_NEAR(player.vy(), speed + 0.35, 1e-9);
    }
    frame();
    EXPECT_NEAR(player.vy(), -7.2 + 0.7, 1e-9) << "coasting under gravity";

    // Released during the powered phase, the rise is cut to 3.5.
    player.setJumpKey(false);
    frames(60);
    settle();
    player.setJumpKey(true);
    frames(2);
    player.setJumpKey(false);
    frame();
    EXPECT_NEAR(player.vy(), -3.5 + 0.35, 1e-9);
}

TEST_F(PlayerTest, HoldingJumpJumpsAgainOnLanding)
{
    frames(28);
    settle();
    player.setJumpKey(true);
    for (int f = 1; f < 48; ++f)
        frame();
    frame();
    ASSERT_TRUE(player.isOnGround()) << "landed in the 48th frame";
    frame();
    EXPECT_DOUBLE_EQ(player.vy(), -1.2) << "the next jump starts without releasing the key";
    EXPECT_LT(player.y(), kRestingTop);
}

TEST_F(PlayerTest, NoJumpStartsInTheAir)
{
    frames(10);
    player.setJumpKey(true);
    double vy = player.vy();
    for (int f = 11; f <= 27; ++f) {
        frame();
        EXPECT_NEAR(player.vy(), vy + 0.35, 1e-9) << "still falling in frame " << f;
        vy = player.vy();
    }
    // On the floor the rest cycle decides: the jump starts in the frame after one that ended on the
    // ground, not before.
    frame();
    ASSERT_TRUE(player.isOnGround());
    frame();
    EXPECT_DOUBLE_EQ(player.vy(), -1.2);

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

// ---------------------------------------------------------------------------------------------------
// Running

TEST_F(PlayerTest, RunsWithInertiaAndBrakesToExactlyZero)
{
    frames(28);
    holdKeys(false, true, false, false, false, false);
    double x = player.x();
    for (int f = 1; f <= 11; ++f) {
        frame();
        EXPECT_NEAR(player.vx(), 0.35 * f, 1e-9);
        EXPECT_NEAR(player.x(), x + player.vx(), 1e-9);
        x = player.x();
    }
    for (int f = 12; f <= 20; ++f) {
        frame();
        EXPECT_EQ(player.vx(), 4.0) << "the top speed";
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
}

TEST_F(PlayerTest, LeftWinsWhenBothDirectionsAreHeld)
{
    frames(28);
    holdKeys(true, true, false, false, false, false);
    frame();
    EXPECT_NEAR(player.vx(), -0.35, 1e-9);
    EXPECT_EQ(player.facing(), Player::kFacingLeft);
    frames(20);
    EXPECT_EQ(player.vx(), -4.0);
}

TEST_F(PlayerTest, WalkingAndIdleSwitchOnlyOnTheGround)
{
    frames(28);
    settle();
    // Running starts in the air of the rest cycle: the walk shows once a frame ends on the ground.
    holdKeys(false, true, false, false, false, false);
    frame();
    EXPECT_EQ(player.animState(), Player::kIdle);
    frame();
    EXPECT_EQ(player.animState(), Player::kIdle);
    frame();
    EXPECT_TRUE(player.isOnGround());
    EXPECT_EQ(player.animState(), Player::kWalking);

    // A jump shows the jump until the landing, whatever the keys.
    settle();
    player.setJumpKey(true);
    frame();
    player.setJumpKey(false);
    while (!player.isOnGround()) {
        ASSERT_EQ(player.animState(), Player::kJumping);
        frame();
    }
    EXPECT_EQ(player.animState(), Player::kWalking);
}

TEST_F(PlayerTest, TheWallsStopThePlayerAtTheScreenEdges)
{
    frames(28);
    holdKeys(true, false, false, false, false, false);
    for (int f = 0; f < 200; ++f) {
        frame();
        ASSERT_GE(player.rect().x, 0);
    }
    EXPECT_EQ(player.rect().x, 0);
    EXPECT_GT(player.x(), -1);

    holdKeys(false, true, false, false, false, false);
    for (int f = 0; f < 400; ++f) {
        frame();
        ASSERT_LE(player.rect().x, 978);
    }
    EXPECT_EQ(player.rect().x, 978);
    EXPECT_EQ(player.rect().right(), 1024);
}

// ---------------------------------------------------------------------------------------------------
// Shooting

TEST_F(PlayerTest, HoldingFireShootsEveryTenFramesFromTheCentre)
{
    frames(28);
    std::vector<int> shotFrames;
    for (int f = 1; f <= 35; ++f) {
        const size_t before = player.getBullets().size();
        player.setFireKey(true);
        frame();
        if (player.getBullets().size() > before) {
            shotFrames.push_back(f);
            // Fired from the centre (x + 23, y + 34) and moved once in the same frame.
            const Point centre{static_cast<int>(player.x() + 23), static_cast<int>(player.y() + 34)};
            EXPECT_EQ(player.getBullets().back().getPosition(), Point(centre.x + 12, centre.y));
            EXPECT_EQ(player.getBullets().back().getPosition(), Point(135, 566));
        }
    }
    EXPECT_EQ(shotFrames, (std::vector<int>{1, 11, 21, 31}));
}

TEST_F(PlayerTest, TheShotDelayRunsOnlyWhileFireIsHeld)
{
    frames(28);
    player.setFireKey(true);
    frame();
    ASSERT_EQ(player.getBullets().size(), 1u);
    frames(30); // released: the key is not written
    int waited = 0;
    while (player.getBullets().size() < 2 && waited < 20) {
        player.setFireKey(true);
        frame();
        ++waited;
    }
    EXPECT_EQ(waited, 10) << "nine held frames of delay still to go, then the shot";
}

TEST_F(PlayerTest, TwentyBulletsAtMost)
{
    frames(28);
    for (int i = 0; i < 19; ++i)
        player.getBullets().push_back(stillBullet({500, 100 + i}));
    player.setFireKey(true);
    frame();
    ASSERT_EQ(player.getBullets().size(), 20u);
    for (int f = 0; f < 30; ++f) {
        player.setFireKey(true);
        frame();
        ASSERT_EQ(player.getBullets().size(), 20u);
    }
    // One leaves the screen; the next shot leaves in the frame after (its delay has long elapsed).
    player.getBullets()[3].setPosition({1030, 300});
    player.setFireKey(true);
    frame();
    EXPECT_EQ(player.getBullets().size(), 19u);
    player.setFireKey(true);
    frame();
    EXPECT_EQ(player.getBullets().size(), 20u);
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
        Bullet reference = stillBullet({static_cast<int>(player.x() + 23), static_cast<int>(player.y() + 34)});
        reference.setHdir(aim.hdir);
        reference.setVdir(aim.vdir);
        reference.move();
        EXPECT_EQ(bullet.getPosition(), reference.getPosition());
    }
    // Facing left after letting go, a plain shot still flies left.
    standAt(500);
    holdKeys(true, false, false, false, false, false);
    frame();
    holdKeys(false, false, false, false, false, true);
    frame();
    ASSERT_EQ(player.getBullets().size(), 1u);
    EXPECT_EQ(player.getBullets().front().hdir(), Bullet::kLeft);
}

TEST_F(PlayerTest, BulletsOnTheScreenEdgeStayOneStepFurtherTheyAreGone)
{
    frames(28);
    std::vector<Bullet>& bullets = player.getBullets();
    const auto flying = [&](Point at, int hdir, int vdir) {
        Bullet bullet = stillBullet(at);
        bullet.setHdir(hdir);
        bullet.setVdir(vdir);
        bullets.push_back(bullet);
    };
    flying({1012, 300}, Bullet::kRight, Bullet::kLevel); // to x = 1024, then 1036
    flying({12, 300}, Bullet::kLeft, Bullet::kLevel); // to x = 0, then -12
    flying({500, 708}, Bullet::kRight, Bullet::kStraightDown); // to y = 720, then 732
    flying({500, 12}, Bullet::kRight, Bullet::kStraightUp); // to y = 0, then -12
    flying({500, 300}, 2, 0); // stays
    frame();
    ASSERT_EQ(bullets.size(), 5u);
    EXPECT_EQ(bullets[0].getPosition(), Point(1024, 300));
    EXPECT_EQ(bullets[1].getPosition(), Point(0, 300));
    EXPECT_EQ(bullets[2].getPosition(), Point(500, 720));
    EXPECT_EQ(bullets[3].getPosition(), Point(500, 0));
    frame();
    ASSERT_EQ(bullets.size(), 1u) << "four neighbours left together; none was skipped";
    EXPECT_EQ(bullets[0].getPosition(), Point(500, 300));
}

TEST_F(PlayerTest, EveryBulletMovesExactlyOncePerFrame)
{
    frames(28);
    for (int i = 0; i < 6; ++i) {
        Bullet bullet = stillBullet({100 + 10 * i, 200});
        bullet.setHdir(Bullet::kRight);
        bullet.setVdir(Bullet::kDiagonalDown);
        player.getBullets().push_back(bullet);
    }
    frames(3);
    ASSERT_EQ(player.getBullets().size(), 6u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(player.getBullets()[i].getPosition(), Point(136 + 10 * i, 236));
}

// ---------------------------------------------------------------------------------------------------
// The bosses' weapons

TEST_F(PlayerTest, RocketsAndLasersThatStrikeAreUsedUpAndTheOthersLeftAlone)
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
}

TEST_F(PlayerTest, AFallingFireballIsUsedUpButABurningOneStays)
{
    standAt(100);
    Fireball falling("data/img/fireball.png", {110, 525});
    falling.setExplosion(kRowExplosion);
    Fireball far = falling;
    far.setPosition({700, 300});
    fireballs = {far, falling, falling, far};
    frame();
    EXPECT_EQ(player.getHealth(), 30);
    ASSERT_EQ(fireballs.size(), 2u);
    EXPECT_EQ(fireballs[0].position(), Point(700, 300));
    EXPECT_EQ(fireballs[1].position(), Point(700, 300));

    // A fireball that is burning is not touched itself: only its row counts.
    standAt(100);
    Fireball burning = falling;
    burning.explode();
    fireballs = {burning};
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
    ASSERT_TRUE(fireball.row()[0].rect().intersects({100, kRestingTop, 46, 68}));
    ASSERT_FALSE(fireball.row()[1].rect().intersects({100, kRestingTop, 46, 68}));

    // Burning the inner pairs: the first frame of explosion 0 does not hurt.
    while (fireball.row()[1].isFirstFrame() || !fireball.row()[1].isLastFrame())
        fireball.update();
    ASSERT_TRUE(fireball.row()[0].isFirstFrame());
    standAt(100);
    fireballs = {fireball};
    frame();
    EXPECT_EQ(player.getHealth(), 50);

    // Its middle frames do.
    while (fireball.row()[0].isFirstFrame())
        fireball.update();
    int hurtingFrames = 0;
    while (!fireball.row()[0].isLastFrame()) {
        standAt(100);
        fireballs = {fireball};
        frame();
        EXPECT_EQ(player.getHealth(), 40) << "frame " << fireball.row()[0].current();
        EXPECT_EQ(fireballs.size(), 1u) << "a burning fireball is never removed by the player";
        ++hurtingFrames;
        fireball.update();
    }
    EXPECT_GT(hurtingFrames, 0);

    // Its last frame does not.
    ASSERT_TRUE(fireball.isDone());
    standAt(100);
    fireballs = {fireball};
    frame();
    EXPECT_EQ(player.getHealth(), 50);
}

TEST_F(PlayerTest, TheImpactAreaHurtsOnlyNineOrMorePixelsInsideItsEdge)
{
    const Animation explosion(kExplosion, 0);
    const Size size = explosion.rect().size();
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

    frame();
    EXPECT_EQ(player.getHealth(), 0) << "rocket, laser and impact at once";
    EXPECT_TRUE(rockets.empty());
    EXPECT_TRUE(lasers.empty());
}

TEST_F(PlayerTest, TheBlinkRunsOnFromWhereTheLastHurtLeftIt)
{
    standAt(100);
    rockets = {rocketAt({120, 540})};
    frames(91);
    ASSERT_FALSE(player.isInvulnerable());
    rockets = {rocketAt({120, 540})};
    frame();
    EXPECT_EQ(player.getHealth(), 30);
    EXPECT_FALSE(player.isVisible()) << "the blink timer was left one frame before firing";
}

// ---------------------------------------------------------------------------------------------------
// Death and restart

TEST_F(PlayerTest, TheFatalHitStartsAFadeThatEndsInThe49thFrame)
{
    standAt(100);
    player.setFireKey(true);
    frame();
    ASSERT_EQ(player.getBullets().size(), 1u);
    for (int i = 0; i < 5; ++i)
        rockets.push_back(rocketAt({110 + i, 550}));
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
        if (f == 39) {
            EXPECT_GT(player.texture().alpha(), 0);
        }
        if (f >= 40) {
            // 40 steps of 0.025 in single precision leave a trace above 0, too little to show.
            EXPECT_LT(player.fade(), 1.0f / 255) << "frame " << f;
            EXPECT_EQ(player.texture().alpha(), 0) << "frame " << f;
        }
        if (f >= 41) {
            EXPECT_EQ(player.fade(), 0.0f) << "frame " << f;
        }
        EXPECT_EQ(player.isFinished(), f == 49) << "frame " << f;
        EXPECT_TRUE(player.isVisible());
        // Frozen where it fell, no more shots, but its bullets fly on.
        EXPECT_EQ(player.rect(), where);
        bullet.x += 12;
        if (bullet.x <= 1024) {
            ASSERT_EQ(player.getBullets().size(), 1u) << "frame " << f;
            EXPECT_EQ(player.getBullets().front().getPosition(), bullet);
        }
    }
}

TEST_F(PlayerTest, ADeadPlayerFadesOutOnScreen)
{
    standAt(100);
    const Image alive = [&] {
        Renderer& renderer = Core::instance().renderer();
        renderer.setTarget(Core::instance().renderTarget().handle());
        renderer.clear(kBackground);
        player.draw();
        return renderer.readPixels(player.rect());
    }();
    for (int i = 0; i < 5; ++i)
        rockets.push_back(rocketAt({110 + i, 550}));
    frames(40);
    Renderer& renderer = Core::instance().renderer();
    renderer.setTarget(Core::instance().renderTarget().handle());
    renderer.clear(kBackground);
    player.draw();
    const Image faded = renderer.readPixels(player.rect());
    int shown = 0;
    for (int y = 0; y < alive.size.h; ++y) {
        for (int x = 0; x < alive.size.w; ++x)
            shown += alive.pixel(x, y) != kBackground ? 1 : 0;
    }
    EXPECT_GT(shown, 0);
    for (int y = 0; y < faded.size.h; ++y) {
        for (int x = 0; x < faded.size.w; ++x)
            ASSERT_EQ(faded.pixel(x, y), kBackground) << x << ", " << y;
    }
}

TEST_F(PlayerTest, RestartFromAnyStateGivesTheStartingPlayer)
{
    const auto expectFreshStart = [&](const char* from) {
        SCOPED_TRACE(from);
        player.restart();
        EXPECT_EQ(player.rect(), Rect(100, 400, 46, 68));
        EXPECT_EQ(player.x(), 100);
        EXPECT_EQ(player.y(), 400);
        EXPECT_EQ(player.vx(), 0);
        EXPECT_EQ(player.vy(), 0);
        EXPECT_EQ(player.getHealth(), 50);
        EXPECT_EQ(player.animState(), Player::kJumping);
        EXPECT_EQ(player.facing(), Player::kFacingRight);
        EXPECT_TRUE(player.getBullets().empty());
        EXPECT_FALSE(player.isDead());
        EXPECT_FALSE(player.isFinished());
        EXPECT_FALSE(player.isInvulnerable());
        EXPECT_FALSE(player.isOnGround());
        EXPECT_TRUE(player.isVisible());
        EXPECT_EQ(player.fade(), 1.0f);
        EXPECT_EQ(player.texture().alpha(), 255);
        EXPECT_EQ(walk.texture().alpha(), 255);
        EXPECT_EQ(jump.texture().alpha(), 255);
        // It falls onto the floor as at the spawn, with no key left held, and can shoot at once.
        rockets.clear();
        lasers.clear();
        impactArea.reset();
        frames(27);
        EXPECT_FALSE(player.isOnGround());
        EXPECT_EQ(player.getBullets().size(), 0u);
        frame();
        EXPECT_TRUE(player.isOnGround());
        EXPECT_EQ(player.rect(), Rect(100, kRestingTop, 46, 68));
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
    ASSERT_TRUE(player.isInvulnerable());
    ASSERT_FALSE(player.isVisible());
    expectFreshStart("hurt");
    rockets = {rocketAt({110, 550})};
    frame();
    EXPECT_EQ(player.getHealth(), 40) << "the invulnerability did not outlive the restart";
    EXPECT_TRUE(player.isVisible()) << "the blink timer starts afresh";

    // Dead, fading.
    standAt(300);
    lasers = {laserAt({310, 550}), laserAt({310, 551}), laserAt({310, 552}), laserAt({310, 553}), laserAt({310, 554})};
    frames(10);
    ASSERT_TRUE(player.isDead());
    expectFreshStart("dead");

    // Finished.
    standAt(300);
    lasers = {laserAt({310, 550}), laserAt({310, 551}), laserAt({310, 552}), laserAt({310, 553}), laserAt({310, 554})};
    frames(49);
    ASSERT_TRUE(player.isFinished());
    expectFreshStart("finished");
    // The fade-out after the next death is as long as the first one.
    lasers = {laserAt({110, 550}), laserAt({110, 551}), laserAt({110, 552}), laserAt({110, 553}), laserAt({110, 554})};
    frames(48);
    EXPECT_TRUE(player.isDead());
    EXPECT_FALSE(player.isFinished());
    frame();
    EXPECT_TRUE(player.isFinished());
}

// ---------------------------------------------------------------------------------------------------
// Drawing

TEST_F(PlayerTest, DrawsItsPictureMirroredWhenFacingLeftAndHidesWhileBlinking)
{
    const Surface picture("data/img/player.png", Color{});
    const auto drawnAt = [&](const Rect& area) {
        Renderer& renderer = Core::instance().renderer();
        renderer.setTarget(Core::instance().renderTarget().handle());
        renderer.clear(kBackground);
        player.draw();
        return renderer.readPixels(area);
    };
    const auto mismatches = [&](const Image& shown, bool mirrored) {
        int wrong = 0;
        for (int y = 0; y < 68; ++y) {
            for (int x = 0; x < 46; ++x) {
                const Color want = picture.pixel({mirrored ? 45 - x : x, y});
                const Color got = shown.pixel(x, y);
                if (want.a == 255 && (got.r != want.r || got.g != want.g || got.b != want.b))
                    ++wrong;
                else if (want.a == 0 && got != kBackground)
                    ++wrong;
            }
        }
        return wrong;
    };

    standAt(300);
    ASSERT_EQ(player.animState(), Player::kIdle);
    EXPECT_EQ(mismatches(drawnAt(player.rect()), false), 0);
    EXPECT_GT(mismatches(drawnAt(player.rect()), true), 0) << "the picture is not symmetric";

    holdKeys(true, false, false, false, false, false);
    frame();
    holdKeys(false, false, false, false, false, false);
    for (int f = 0; f < 20; ++f)
        frame();
    settle();
    ASSERT_EQ(player.animState(), Player::kIdle);
    ASSERT_EQ(player.facing(), Player::kFacingLeft);
    EXPECT_EQ(mismatches(drawnAt(player.rect()), true), 0);

    // Hidden by the blink, the character is not drawn but its bullets are.
    player.getBullets().push_back(stillBullet({600, 300}));
    rockets = {rocketAt({player.rect().x + 10, 550})};
    frames(2);
    ASSERT_FALSE(player.isVisible());
    const Image hidden = drawnAt({0, 0, 1024, 720});
    for (int y = player.rect().y; y < player.rect().bottom(); ++y) {
        for (int x = player.rect().x; x < player.rect().right(); ++x)
            ASSERT_EQ(hidden.pixel(x, y), kBackground);
    }
    int bulletPixels = 0;
    for (int y = 300; y < 308; ++y) {
        for (int x = 600; x < 608; ++x)
            bulletPixels += hidden.pixel(x, y) != kBackground ? 1 : 0;
    }
    EXPECT_GT(bulletPixels, 0);
}

TEST_F(PlayerTest, DrawsTheJumpAnimationInTheAir)
{
    frames(10);
    ASSERT_EQ(player.animState(), Player::kJumping);
    Renderer& renderer = Core::instance().renderer();
    renderer.setTarget(Core::instance().renderTarget().handle());
    renderer.clear(kBackground);
    player.draw();
    const Image shown = renderer.readPixels();

    // The player's copy of the jump has advanced as often as this one.
    Animation expected = jump;
    for (int f = 0; f < 10; ++f)
        expected.update();
    ASSERT_FALSE(expected.isFirstFrame());
    expected.setPosition(player.rect().position());
    renderer.clear(kBackground);
    expected.draw();
    const Image reference = renderer.readPixels();
    EXPECT_EQ(shown.pixels, reference.pixels);
}

} // namespace
