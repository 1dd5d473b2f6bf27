// The second boss, frame by frame: its zigzag, laser pairs and fireballs, the switch to the second
// stage at half health, the death fade, and the restart after a game over. Built exactly as the game
// builds it, from the real asset files, with the generator seeded.

#include "Boss02.h"
#include "Bullet.h"

#include "Core/Core.h"
#include "Graphics/Renderer.h"
#include "Math/Random.h"
#include "support/GamePixels.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

const Color kTint{128, 64, 0, 255};
const Color kWhite{255, 255, 255, 255};

std::unique_ptr<Boss02> makeBoss(uint32_t seed)
{
    startHeadlessCore();
    Random::seed(seed);
    auto boss = std::make_unique<Boss02>("data/img/boss02.png", Point{700, 120});
    boss->setHitSound("data/sfx/bossHit.wav");
    boss->setSecondStageTexture("data/img/boss02_st2.png");
    boss->setLaser("data/img/laser.png");
    boss->setLaserSound("data/sfx/laserShoot.wav");
    boss->setFireball("data/img/fireball.png");
    boss->setFireballExplosion("data/img/explosion/explode2.xml");
    boss->setExplosionSound("data/sfx/explode.wav");
    return boss;
}

// Bullets in the middle of the body: it moves at most 6 by 3 pixels before the hit test.
std::vector<Bullet> bulletsOnBody(const Boss02& boss, int count)
{
    return std::vector<Bullet>(count, Bullet("data/img/bullet.png", boss.rect().center(), Bullet::kRight));
}

void run(Boss02& boss, int updates)
{
    std::vector<Bullet> none;
    for (int i = 0; i < updates; ++i)
        boss.update(none);
}

// One hit per update (the first update two) until health reaches the given value; returns the
// number of updates. Starting from a fresh flash, the tint is then on in the last of them.
int hitDownTo(Boss02& boss, int32_t health)
{
    int updates = 0;
    while (boss.health() > health) {
        std::vector<Bullet> bullets = bulletsOnBody(boss, updates == 0 ? 2 : 1);
        boss.update(bullets);
        EXPECT_TRUE(bullets.empty());
        ++updates;
    }
    return updates;
}

// From a fresh boss through the whole switch to the second stage.
void reachSecondStage(Boss02& boss)
{
    hitDownTo(boss, 440);
    run(boss, 90);
    ASSERT_TRUE(boss.isSecondStage());
}

Point displacement(Boss02& boss)
{
    const Point before = boss.rect().position();
    run(boss, 1);
    return {boss.rect().x - before.x, boss.rect().y - before.y};
}

// Counts laser pairs fired in the given updates, checking each newly drawn interval.
int laserPairsIn(Boss02& boss, int updates, uint32_t lowest, uint32_t highest)
{
    int pairs = 0;
    for (int i = 0; i < updates; ++i) {
        const int sounds = boss.laserSoundStarts();
        run(boss, 1);
        if (boss.laserSoundStarts() != sounds) {
            EXPECT_GE(boss.laserTimer().limit(), lowest);
            EXPECT_LE(boss.laserTimer().limit(), highest);
            ++pairs;
        }
    }
    return pairs;
}

} // namespace

TEST(Boss02Movement, ZigzagsBetweenTheTurnPoints)
{
    auto boss = makeBoss(21);
    EXPECT_EQ(boss->rect(), Rect(700, 120, 79, 94));
    std::vector<int32_t> xTurns, yTurns;
    int32_t dx = boss->directionX(), dy = boss->directionY();
    for (int i = 0; i < 1200; ++i) {
        const Point step = displacement(*boss);
        ASSERT_EQ(std::abs(step.x), 3);
        ASSERT_EQ(std::abs(step.y), 2);
        if (boss->directionX() != dx)
            xTurns.push_back(boss->rect().x);
        if (boss->directionY() != dy)
            yTurns.push_back(boss->rect().y);
        dx = boss->directionX();
        dy = boss->directionY();
    }
    ASSERT_GE(xTurns.size(), 3u);
    EXPECT_EQ(std::vector<int32_t>(xTurns.begin(), xTurns.begin() + 3), (std::vector<int32_t>{841, 10, 841}));
    ASSERT_GE(yTurns.size(), 2u);
    EXPECT_EQ(std::vector<int32_t>(yTurns.begin(), yTurns.begin() + 2), (std::vector<int32_t>{200, 40}));
}

TEST(Boss02Lasers, PairsFromTheCentreOnThe55thUpdateThenEvery49To61)
{
    auto boss = makeBoss(22);
    run(*boss, 54);
    EXPECT_TRUE(boss->lasers().empty());
    EXPECT_EQ(boss->laserSoundStarts(), 0);
    run(*boss, 1);
    ASSERT_EQ(boss->lasers().size(), 2u);
    EXPECT_EQ(boss->laserSoundStarts(), 1);
    // Fired from the body's centre, and already one step on.
    const Point c = boss->rect().center();
    EXPECT_EQ(boss->lasers()[0].direction(), Laser::kDownLeft);
    EXPECT_EQ(boss->lasers()[0].position(), Point(c.x - 6, c.y + 6));
    EXPECT_EQ(boss->lasers()[1].direction(), Laser::kDownRight);
    EXPECT_EQ(boss->lasers()[1].position(), Point(c.x + 6, c.y + 6));

    // The next pair comes exactly the drawn interval later.
    const uint32_t limit = boss->laserTimer().limit();
    run(*boss, static_cast<int>(limit));
    EXPECT_EQ(boss->laserSoundStarts(), 1);
    run(*boss, 1);
    EXPECT_EQ(boss->laserSoundStarts(), 2);
    EXPECT_GE(laserPairsIn(*boss, 600, 48, 60), 9);
}

TEST(Boss02Lasers, BounceOnceAtTheGroundAndLeaveThroughTheTop)
{
    auto boss = makeBoss(23);
    Laser laser("data/img/laser.png");
    auto add = [&](Point p, int32_t direction) {
        laser.setPosition(p);
        laser.setDirection(direction);
        boss->lasers().push_back(laser);
    };
    add({300, 3}, Laser::kUpLeft); // leaves through the top in this update
    add({400, 100}, Laser::kUpRight); // must still move although the one before is removed
    add({500, 576}, Laser::kDownLeft); // bounces: 582
    add({600, 590}, Laser::kDownRight); // bounces at 596, then stays going up while still low
    add({-50, 300}, Laser::kDownLeft); // outside the arena: flies on
    run(*boss, 1);
    auto& lasers = boss->lasers();
    ASSERT_EQ(lasers.size(), 4u);
    EXPECT_EQ(lasers[0].position(), Point(406, 94));
    EXPECT_EQ(lasers[1].position(), Point(494, 582));
    EXPECT_EQ(lasers[1].direction(), Laser::kUpLeft);
    EXPECT_EQ(lasers[2].position(), Point(606, 596));
    EXPECT_EQ(lasers[2].direction(), Laser::kUpRight);
    EXPECT_EQ(lasers[3].position(), Point(-56, 306));
    run(*boss, 1);
    EXPECT_EQ(lasers[2].position(), Point(612, 590));
    EXPECT_EQ(lasers[2].direction(), Laser::kUpRight);

    // A bolt fired from y = 167 passes the ground line on its 69th step and is gone through the top.
    lasers.clear();
    add({500, 167}, Laser::kDownRight);
    for (int step = 1; step <= 68; ++step) {
        run(*boss, 1);
        ASSERT_EQ(lasers[0].direction(), Laser::kDownRight) << step;
    }
    run(*boss, 1);
    EXPECT_EQ(lasers[0].position().y, 581);
    EXPECT_EQ(lasers[0].direction(), Laser::kUpRight);
    // 581 - 6 k < 0 from k = 97 on; far outside the right edge by then, it is still in the list.
    run(*boss, 96);
    EXPECT_EQ(lasers.front().position(), Point(500 + 6 * 165, 5));
    EXPECT_EQ(lasers.front().direction(), Laser::kUpRight);
    run(*boss, 1);
    EXPECT_TRUE(lasers.empty() || lasers.front().position().x != 500 + 6 * 166) << "gone through the top";
}

TEST(Boss02Fireballs, FirstOnThe181stUpdateThenEvery121AndBurstWithSound)
{
    auto boss = makeBoss(24);
    run(*boss, 180);
    EXPECT_TRUE(boss->fireballs().empty());
    run(*boss, 1);
    ASSERT_EQ(boss->fireballs().size(), 1u);
    // Dropped from the body's centre and already one step down.
    const Point c = boss->rect().center();
    EXPECT_EQ(boss->fireballs()[0].position(), Point(c.x, c.y + 8));
    EXPECT_EQ(boss->fireballTimer().limit(), 120u);

    const int startingUpdates = static_cast<int>(boss->fireballs()[0].row()[4].frameTimer().limit()) + 1;
    const int sounds = boss->explosionSoundStarts();
    // Falls 8 pixels a frame until its top edge passes y = 580.
    const int fallUpdates = (580 - c.y) / 8 + 1;
    run(*boss, fallUpdates - 2);
    EXPECT_FALSE(boss->fireballs()[0].isExploding());
    run(*boss, 1);
    EXPECT_TRUE(boss->fireballs()[0].isExploding());
    EXPECT_GT(boss->fireballs()[0].position().y, 580);
    // The sound starts on every update while the middle explosion is on its first frame.
    run(*boss, startingUpdates + 5);
    EXPECT_EQ(boss->explosionSoundStarts(), sounds + startingUpdates);

    // The second fireball 121 updates after the first, while the first row still burns.
    const int updates = 181 + fallUpdates + startingUpdates + 5 - 1;
    ASSERT_LT(updates, 301);
    run(*boss, 301 - updates);
    EXPECT_EQ(boss->fireballs().size(), 1u);
    run(*boss, 1);
    ASSERT_EQ(boss->fireballs().size(), 2u);
    const Point second = boss->fireballs()[1].position();
    // A row that is done is removed in the same update: the first one goes, the second is left.
    for (int i = 0; i < 400 && boss->fireballs().size() == 2; ++i) {
        run(*boss, 1);
        for (const Fireball& fireball : boss->fireballs())
            EXPECT_FALSE(fireball.isDone());
    }
    ASSERT_EQ(boss->fireballs().size(), 1u);
    EXPECT_EQ(boss->fireballs()[0].position().x, second.x);
}

TEST(Boss02Stages, SwitchAfterThe44thHitThenFasterAndQuicker)
{
    auto boss = makeBoss(25);
    EXPECT_EQ(hitDownTo(*boss, 450), 42);
    EXPECT_FALSE(boss->isTransforming());
    // The tint is on going into the switching update.
    EXPECT_TRUE(boss->isFlashOn());
    EXPECT_EQ(boss->currentTexture().colorMod(), kTint);

    std::vector<Bullet> bullets = bulletsOnBody(*boss, 1);
    boss->update(bullets);
    EXPECT_TRUE(bullets.empty());
    EXPECT_EQ(boss->health(), 440);
    // Switch update 1: the second look, immune, and the running flash cleared.
    EXPECT_TRUE(boss->isTransforming());
    EXPECT_TRUE(boss->isInvulnerable());
    EXPECT_TRUE(boss->isShowingSecondLook());
    EXPECT_FALSE(boss->isFlashOn());
    EXPECT_EQ(boss->currentTexture().colorMod(), kWhite);

    const Point position = boss->rect().position();
    const Texture first = boss->currentTexture();
    for (int k = 2; k <= 91; ++k) {
        bullets = bulletsOnBody(*boss, 2);
        boss->update(bullets);
        // Bullets fly through; the boss stands still, shoots nothing and alternates its look.
        EXPECT_EQ(bullets.size(), 2u);
        EXPECT_EQ(boss->health(), 440);
        EXPECT_EQ(boss->rect().position(), position);
        const bool second = k % 2 == 1;
        EXPECT_EQ(boss->isShowingSecondLook(), second) << k;
        EXPECT_EQ(boss->rect().size(), second ? Boss02::kSecondLook : Boss02::kFirstLook) << k;
        EXPECT_EQ(boss->currentTexture().handle() == first.handle(), second) << k;
        EXPECT_EQ(boss->isTransforming(), k < 91) << k;
    }
    EXPECT_EQ(boss->laserSoundStarts(), 0) << "no shots while switching";
    EXPECT_TRUE(boss->fireballs().empty());
    EXPECT_TRUE(boss->isSecondStage());
    EXPECT_FALSE(boss->isInvulnerable());
    EXPECT_TRUE(boss->isShowingSecondLook());

    // Second stage: 6 by 3 pixels a frame, laser pairs every 37 to 43 updates once a new interval is drawn.
    for (int i = 0; i < 60; ++i) {
        const Point step = displacement(*boss);
        EXPECT_EQ(std::abs(step.x), 6);
        EXPECT_EQ(std::abs(step.y), 3);
    }
    EXPECT_GE(laserPairsIn(*boss, 300, 36, 42), 7);
    // And hits count again.
    bullets = bulletsOnBody(*boss, 1);
    boss->update(bullets);
    EXPECT_EQ(boss->health(), 430);
}

TEST(Boss02Death, DiesOnThe88thHitKeepingItsTintAndFadesWhileItsShotsFinishTheirCourse)
{
    auto boss = makeBoss(27);
    const Texture first = boss->currentTexture();
    reachSecondStage(*boss);
    // The switch restarted the flash timers, so the tint is on again in the killing update.
    EXPECT_EQ(hitDownTo(*boss, 0), 43);
    EXPECT_TRUE(boss->isDead());
    ASSERT_TRUE(boss->isFlashOn());
    ASSERT_FALSE(boss->lasers().empty());

    const Texture second = boss->currentTexture();
    ASSERT_NE(second.handle(), first.handle());
    const Rect body = boss->rect();
    const int pairs = boss->laserSoundStarts();
    size_t fireballs = boss->fireballs().size();
    // Alpha follows the fade on both pictures: 0.975 gives 248.
    EXPECT_EQ(second.alpha(), 248);
    EXPECT_EQ(first.alpha(), 248);
    for (int n = 2; n <= 241; ++n) {
        EXPECT_FALSE(boss->isFinished()) << n;
        std::vector<Bullet> bullets = bulletsOnBody(*boss, 1);
        boss->update(bullets);
        EXPECT_EQ(bullets.size(), 1u);
        EXPECT_EQ(boss->rect(), body);
        EXPECT_EQ(second.colorMod(), kTint) << n;
        EXPECT_EQ(first.colorMod(), kTint) << n;
        EXPECT_EQ(second.alpha() == 0, n >= 40) << n;
        EXPECT_EQ(first.alpha(), second.alpha()) << n;
        EXPECT_LE(boss->fireballs().size(), fireballs);
        fireballs = boss->fireballs().size();
    }
    EXPECT_TRUE(boss->isFinished());
    EXPECT_EQ(boss->health(), 0);
    // Lasers and fireballs of the last moments finish their course; no new ones come.
    run(*boss, 400);
    EXPECT_EQ(boss->laserSoundStarts(), pairs);
    EXPECT_TRUE(boss->lasers().empty());
    EXPECT_TRUE(boss->fireballs().empty());
    EXPECT_TRUE(boss->isFinished());
}

TEST(Boss02Restart, FromTheMiddleOfAFightFromDeathAndFromFinished)
{
    auto boss = makeBoss(28);
    const Texture first = boss->currentTexture();
    const auto expectFresh = [&](const Texture& second) {
        boss->restart();
        EXPECT_FALSE(boss->isSecondStage() || boss->isTransforming() || boss->isShowingSecondLook());
        EXPECT_FALSE(boss->isInvulnerable() || boss->isFlashOn() || boss->isDead() || boss->isFinished());
        EXPECT_EQ(boss->health(), 880);
        EXPECT_EQ(boss->rect(), Rect(700, 120, 79, 94));
        EXPECT_EQ(boss->fade(), 1.0f);
        EXPECT_TRUE(boss->lasers().empty());
        EXPECT_TRUE(boss->fireballs().empty());
        EXPECT_EQ(boss->currentTexture().handle(), first.handle());
        for (const Texture* t : {&first, &second}) {
            EXPECT_EQ(t->alpha(), 255);
            EXPECT_EQ(t->colorMod(), kWhite);
        }
    };
    hitDownTo(*boss, 440);
    run(*boss, 250);
    hitDownTo(*boss, 300);
    ASSERT_TRUE(boss->isSecondStage());
    ASSERT_FALSE(boss->lasers().empty());
    const Texture second = boss->currentTexture();
    const uint32_t laserLimit = boss->laserTimer().limit();
    ASSERT_LE(laserLimit, 42u);
    expectFresh(second);
    EXPECT_EQ(displacement(*boss), Point(3, 2));
    // The timers keep their last durations: the next pair after laserLimit + 1 updates, the next
    // fireball after 121.
    run(*boss, static_cast<int>(laserLimit) - 1);
    EXPECT_TRUE(boss->lasers().empty());
    run(*boss, 1);
    EXPECT_EQ(boss->lasers().size(), 2u);
    run(*boss, 120 - static_cast<int>(laserLimit) - 1);
    EXPECT_TRUE(boss->fireballs().empty());
    run(*boss, 1);
    EXPECT_EQ(boss->fireballs().size(), 1u);

    reachSecondStage(*boss);
    hitDownTo(*boss, 0);
    run(*boss, 20);
    expectFresh(second);
    reachSecondStage(*boss);
    hitDownTo(*boss, 0);
    run(*boss, 240);
    ASSERT_TRUE(boss->isFinished());
    EXPECT_EQ(second.alpha(), 0);
    expectFresh(second);

    // Killed once more, it finishes on the 241st update of its death again.
    reachSecondStage(*boss);
    hitDownTo(*boss, 0);
    run(*boss, 239);
    EXPECT_FALSE(boss->isFinished());
    run(*boss, 1);
    EXPECT_TRUE(boss->isFinished());
}

// The boss drawn into the off-screen target and read back.
TEST(Boss02Picture, TheHitTintAndTheMirrorImageMovingLeftShowInTheFrames)
{
    auto boss = makeBoss(41);
    std::vector<Bullet> bullets = bulletsOnBody(*boss, 1);
    boss->update(bullets);
    while (!boss->isFlashOn())
        run(*boss, 1);
    ASSERT_TRUE(boss->lasers().empty());
    // The hit tint: every covered pixel keeps 128/255 of its red, 64/255 of its green, none of its blue.
    int covered = 0;
    const int mismatches = tintMismatches(
        boss->currentTexture(), [&] { boss->draw(); }, boss->rect(), {}, covered);
    EXPECT_GT(covered, 2000);
    EXPECT_LT(mismatches, covered / 100);

    // Moving left (before the first laser pair), the picture is mirrored.
    while (boss->directionX() != 0)
        run(*boss, 1);
    ASSERT_TRUE(boss->lasers().empty());
    const Image mirrored = drawnFrame([&] { boss->draw(); });
    const Rect r = boss->rect();
    const Texture texture = boss->currentTexture();
    const Image straight = drawnFrame([&] { Core::instance().renderer().copy(texture, r); });
    EXPECT_LT(unmirroredPixels(mirrored, straight, r, {}), r.w * r.h * 3 / 100);
    EXPECT_GT(unmirroredPixels(straight, straight, r, {}), r.w * r.h / 50) << "the picture is not symmetric";
}
