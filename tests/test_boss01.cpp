// The first boss, frame by frame, built as the game builds it from the real assets with the generator
// seeded. Its patrol, rockets, flash, fade and sounds through a whole fight are pinned frame by frame by
// the golden traces (test_sim, test_game); here are the edges and pictures they cannot see.

#include "Boss01.h"
#include "Bullet.h"

#include "Math/Random.h"
#include "support/GamePixels.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

const Color kWhite{255, 255, 255, 255};

std::unique_ptr<Boss01> makeBoss(uint32_t seed)
{
    startHeadlessCore();
    Random::seed(seed);
    auto boss = std::make_unique<Boss01>(Point{400, 30});
    boss->setHitSound("data/sfx/bossHit.wav");
    boss->setRocket("data/img/rocket.png");
    boss->setExplosion("data/img/explosion/explode.xml");
    boss->setExplosionSound("data/sfx/explode.wav");
    boss->setAnimation("data/img/boss01/boss01_anim.xml");
    return boss;
}

Bullet bulletAt(Point p) { return Bullet("data/img/bullet.png", p, Bullet::kRight); }

// One update with a bullet in the middle of the hit box the update will test.
void hit(Boss01& boss)
{
    std::vector<Bullet> bullets{bulletAt(boss.hitbox().center())};
    boss.update(bullets);
}

// Updates, with the rocket list emptied before each when `landings` is false so that nothing lands.
void run(Boss01& boss, int updates, bool landings = true)
{
    std::vector<Bullet> none;
    for (int i = 0; i < updates; ++i) {
        if (!landings)
            boss.rockets().clear();
        boss.update(none);
    }
}

// Hits the boss once per update until it dies. The rockets are cleared before the killing update and
// after it, so that no landing mixes with the death sequence.
void killWithoutRockets(Boss01& boss)
{
    while (!boss.isDead()) {
        if (boss.health() <= Boss01::kHitDamage)
            boss.rockets().clear();
        hit(boss);
    }
    boss.rockets().clear();
}

// Updates an explosion needs to reach its last frame: each frame lasts limit + 1 updates.
int runLength(const Animation& explosion)
{
    return static_cast<int>((explosion.frames().size() - 1) * (explosion.frameTimer().limit() + 1));
}

bool hasStarted(const Animation& explosion) { return explosion.current() != 0 || explosion.frameTimer().count() != 0; }

std::vector<Rect> rocketRects(Boss01& boss)
{
    std::vector<Rect> rects;
    for (const Rocket& rocket : boss.rockets())
        rects.push_back(rocket.rect());
    return rects;
}

} // namespace

TEST(Boss01Rockets, TwoLandingsInOneUpdateRestartTheOneImpactExplosionThatHurtsUntilItsLastFrame)
{
    auto boss = makeBoss(9);
    const int length = runLength(*boss->impactExplosion());
    ASSERT_GT(length, 1);
    // Before any landing it runs once at its initial place, reported but not drawn.
    EXPECT_EQ(boss->impactArea()->position(), Point(0, 0));
    run(*boss, length - 1, false);
    EXPECT_TRUE(boss->impactArea().has_value());
    run(*boss, 1, false);
    EXPECT_FALSE(boss->impactArea().has_value());

    // Every rocket falls once; the two that land go, the explosion stands where the second came down.
    boss->rockets().clear();
    for (Point p : {Point{100, 576}, Point{200, 100}, Point{300, 576}, Point{400, 200}})
        boss->rockets().push_back(Rocket("data/img/rocket.png", p));
    const int sounds = boss->explosionSoundStarts();
    run(*boss, 1);
    std::vector<Point> left;
    for (const Rocket& rocket : boss->rockets())
        if (rocket.rect().y != 36)
            left.push_back(rocket.position());
    EXPECT_EQ(left, (std::vector<Point>{{200, 106}, {400, 206}}));
    EXPECT_EQ(boss->explosionSoundStarts(), sounds + 2);
    EXPECT_EQ(boss->impactExplosion()->rect().center(), Rect(300, 582, 11, 20).center());
    for (int n = 2; n <= length; ++n) {
        ASSERT_TRUE(boss->impactArea().has_value()) << "update " << n;
        run(*boss, 1, false);
    }
    EXPECT_FALSE(boss->impactArea().has_value());
}

TEST(Boss01Hits, HitboxIsTheLowerLeadingEndOfTheBodyAndEveryBulletCounts)
{
    auto boss = makeBoss(1);
    // Moving right from (400, 30): the box spans x 464..569, y 44..133. Touching its edges is no hit.
    EXPECT_EQ(boss->hitbox(), Rect(464, 44, 106, 90));
    std::vector<Bullet> bullets{bulletAt({456, 80}), bulletAt({500, 36}), bulletAt({570, 80}), bulletAt({500, 134})};
    boss->update(bullets);
    EXPECT_EQ(bullets.size(), 4u);
    EXPECT_EQ(boss->health(), 880);
    // One pixel further in does hit (tested before this update's move); two bullets cost 20.
    const int x = boss->hitbox().x;
    bullets = {bulletAt({x - 7, 80}), bulletAt({20, 600}), bulletAt({x + 20, 37})};
    boss->update(bullets);
    ASSERT_EQ(bullets.size(), 1u);
    EXPECT_EQ(bullets[0].rect().position(), Point(20, 600));
    EXPECT_EQ(boss->health(), 860);
    // Moving left the box is at the left end.
    while (boss->direction() == Boss01::kMovingRight)
        run(*boss, 1);
    const Rect r = boss->rect();
    EXPECT_EQ(boss->hitbox(), Rect(r.x, r.y + 14, 106, 90));
    bullets = {bulletAt({r.x + 106, 80}), bulletAt({r.x + 105, 80})};
    boss->update(bullets);
    ASSERT_EQ(bullets.size(), 1u);
    EXPECT_EQ(bullets[0].rect().x, r.x + 106);
    EXPECT_EQ(boss->health(), 850);
}

// The fade, the tint, the sounds and the length of the death are pinned by the golden world trace (test_game).
TEST(Boss01Death, TheFiveExplosionsStartEvery25UpdatesAroundTheFrontWhileItsRocketsLandAndBulletsFlyThrough)
{
    auto boss = makeBoss(8);
    run(*boss, 3);
    while (!boss->isDead())
        hit(*boss);
    const size_t inFlight = boss->rockets().size();
    ASSERT_GE(inFlight, 2u);
    const Rect body = boss->rect();
    const int32_t cx = body.center().x + (boss->direction() == Boss01::kMovingRight ? 40 : -40);
    std::vector<int> starts{1, 0, 0, 0, 0};
    size_t landings = 0;
    for (int n = 2; n <= 241; ++n) {
        std::vector<Bullet> bullets{bulletAt(boss->hitbox().center()), bulletAt(body.center())};
        const size_t rocketsBefore = boss->rockets().size();
        boss->update(bullets);
        ASSERT_EQ(bullets.size(), 2u);
        ASSERT_EQ(boss->rect(), body);
        ASSERT_LE(boss->rockets().size(), rocketsBefore) << "no new rockets";
        landings += rocketsBefore - boss->rockets().size();
        for (size_t k = 1; k < 5; ++k)
            if (!starts[k] && hasStarted(boss->deathExplosions()[k]))
                starts[k] = n;
    }
    EXPECT_TRUE(boss->isFinished());
    EXPECT_EQ(landings, inFlight) << "every rocket in flight lands";
    EXPECT_EQ(starts, (std::vector<int>{1, 25, 50, 75, 100}));
    const Point offsets[] = {{0, 0}, {-10, -5}, {14, 5}, {0, -20}, {5, 15}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(boss->deathExplosions()[i].rect().center(), Point(cx + offsets[i].x, body.center().y + offsets[i].y));
        EXPECT_TRUE(boss->deathExplosions()[i].isLastFrame());
    }
}

TEST(Boss01Restart, FromDeathAndFromFinished)
{
    auto boss = makeBoss(12);
    const auto expectFresh = [&] {
        boss->restart();
        EXPECT_FALSE(boss->isDead() || boss->isFinished() || boss->isFlashOn());
        EXPECT_EQ(boss->health(), 880);
        EXPECT_EQ(boss->rect(), Rect(400, 30, 170, 104));
        EXPECT_EQ(boss->direction(), Boss01::kMovingRight);
        EXPECT_EQ(boss->fade(), 1.0f);
        EXPECT_TRUE(boss->rockets().empty());
        EXPECT_EQ(boss->animation()->texture().alpha(), 255);
        EXPECT_EQ(boss->animation()->texture().colorMod(), kWhite);
        EXPECT_FALSE(hasStarted(*boss->impactExplosion()));
        ASSERT_EQ(boss->deathExplosions().size(), 5u);
        for (const Animation& explosion : boss->deathExplosions())
            EXPECT_FALSE(hasStarted(explosion));
    };
    // From the middle of a fight the game-over restart is pinned by the golden world trace (test_game).
    for (int deathUpdates : {60, 240}) {
        killWithoutRockets(*boss);
        run(*boss, deathUpdates);
        ASSERT_EQ(boss->isFinished(), deathUpdates == 240);
        const uint32_t limit = boss->rocketTimer().limit();
        expectFresh();
        // The first rocket after the restart comes after the last drawn duration, counted afresh.
        run(*boss, static_cast<int>(limit));
        EXPECT_TRUE(boss->rockets().empty());
        run(*boss, 1);
        EXPECT_EQ(boss->rockets().size(), 1u);
        boss->restart();
    }
    // Another death runs the whole sequence again, finishing on its 241st update.
    killWithoutRockets(*boss);
    run(*boss, 239);
    EXPECT_FALSE(boss->isFinished());
    run(*boss, 1);
    EXPECT_TRUE(boss->isFinished());
}

// The boss drawn into the off-screen target and read back.
TEST(Boss01Picture, TheHitTintAndTheMirrorImageMovingLeftShowInTheFrames)
{
    auto boss = makeBoss(31);
    hit(*boss);
    run(*boss, 1);
    ASSERT_TRUE(boss->isFlashOn());
    int covered = 0;
    const int mismatches = tintMismatches(
        boss->animation()->texture(), [&] { boss->draw(); }, boss->rect(), rocketRects(*boss), covered);
    EXPECT_GT(covered, 3000);
    EXPECT_LT(mismatches, covered / 100);
    // Moving left, the body is the mirror image of the same animation frame drawn plainly.
    while (boss->direction() == Boss01::kMovingRight)
        run(*boss, 1);
    const Image mirrored = drawnFrame([&] { boss->draw(); });
    Animation reference = *boss->animation();
    const Image straight = drawnFrame([&] { reference.draw(); });
    const Rect r = boss->rect();
    EXPECT_LT(unmirroredPixels(mirrored, straight, r, rocketRects(*boss)), r.w * r.h * 3 / 100);
    EXPECT_GT(unmirroredPixels(straight, straight, r, {}), r.w * r.h / 50) << "the body is not symmetric";
}
