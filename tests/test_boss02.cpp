// The second boss, frame by frame, built as the game builds it from the real assets with the generator
// seeded. Its zigzag, laser pairs and fireballs, the switch at half health with its looks, its death with
// tint, fade and sounds are pinned frame by frame by the golden traces (test_sim, test_game); here are the
// edges and pictures they cannot see.

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

} // namespace

TEST(Boss02Lasers, PairsFromTheCentreBounceOnceAtTheGroundAndLeaveThroughTheTop)
{
    auto boss = makeBoss(22);
    run(*boss, 54);
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

    Laser laser("data/img/laser.png");
    auto& lasers = boss->lasers();
    const auto add = [&](Point p, int32_t direction) {
        laser.setPosition(p);
        laser.setDirection(direction);
        lasers.push_back(laser);
    };
    lasers.clear();
    add({300, 3}, Laser::kUpLeft); // leaves through the top in this update
    add({400, 100}, Laser::kUpRight); // must still move although the one before is removed
    add({500, 576}, Laser::kDownLeft); // bounces: 582
    add({600, 590}, Laser::kDownRight); // bounces at 596, then stays going up while still low
    add({-50, 300}, Laser::kDownLeft); // outside the arena: flies on
    run(*boss, 1);
    ASSERT_EQ(lasers.size(), 4u);
    const std::pair<Point, int32_t> after[] = {{{406, 94}, Laser::kUpRight}, {{494, 582}, Laser::kUpLeft},
        {{606, 596}, Laser::kUpRight}, {{-56, 306}, Laser::kDownLeft}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(lasers[i].position(), after[i].first) << i;
        EXPECT_EQ(lasers[i].direction(), after[i].second) << i;
    }
    run(*boss, 1);
    EXPECT_EQ(lasers[2].position(), Point(612, 590));
    EXPECT_EQ(lasers[2].direction(), Laser::kUpRight);

    // A bolt fired from y = 167 passes the ground line on its 69th step and is gone through the top.
    lasers.clear();
    add({500, 167}, Laser::kDownRight);
    run(*boss, 68);
    ASSERT_EQ(lasers[0].direction(), Laser::kDownRight);
    run(*boss, 1);
    EXPECT_EQ(lasers[0].position().y, 581);
    EXPECT_EQ(lasers[0].direction(), Laser::kUpRight);
    // 581 - 6 k < 0 from k = 97 on; far outside the right edge by then, it is still in the list.
    run(*boss, 96);
    EXPECT_EQ(lasers.front().position(), Point(500 + 6 * 165, 5));
    run(*boss, 1);
    EXPECT_TRUE(lasers.empty() || lasers.front().position().x != 500 + 6 * 166) << "gone through the top";
}

TEST(Boss02Restart, FromDeathAndFromFinished)
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
        EXPECT_TRUE(boss->lasers().empty() && boss->fireballs().empty());
        EXPECT_EQ(boss->currentTexture().handle(), first.handle());
        for (const Texture* t : {&first, &second}) {
            EXPECT_EQ(t->alpha(), 255);
            EXPECT_EQ(t->colorMod(), kWhite);
        }
    };
    // From the middle of a fight the game-over restart is pinned by the golden world trace (test_game).
    for (int deathUpdates : {20, 240}) {
        reachSecondStage(*boss);
        const Texture second = boss->currentTexture();
        hitDownTo(*boss, 0);
        run(*boss, deathUpdates);
        ASSERT_EQ(boss->isFinished(), deathUpdates == 240);
        expectFresh(second);
    }
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
