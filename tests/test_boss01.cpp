// The first boss, frame by frame: its patrol, rockets and impact explosion, hit box and flash, the
// death sequence with its explosions and fade, and the restart after a game over. Built exactly as
// the game builds it, from the real asset files, with the generator seeded.

#include "Boss01.h"
#include "Bullet.h"

#include "Math/Random.h"
#include "support/GamePixels.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

namespace {

const Color kTint{128, 64, 0, 255};
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

TEST(Boss01Patrol, TurnsAtTheEdgesAndKeepsItsHeight)
{
    auto boss = makeBoss(7);
    EXPECT_EQ(boss->rect(), Rect(400, 30, 170, 104));
    std::vector<int> turns;
    int32_t direction = boss->direction();
    for (int i = 0; i < 400; ++i) {
        run(*boss, 1);
        ASSERT_EQ(boss->rect().y, 30);
        if (boss->direction() != direction) {
            turns.push_back(boss->rect().x);
            direction = boss->direction();
        }
    }
    ASSERT_GE(turns.size(), 2u);
    EXPECT_EQ(turns[0], 840);
    EXPECT_EQ(turns[1], 8);
    EXPECT_EQ(boss->animation()->rect().position(), boss->rect().position()) << "the animation follows the body";
}

TEST(Boss01Rockets, FirstDropOnThe25thUpdateThenEvery19To37)
{
    auto boss = makeBoss(11);
    run(*boss, 24);
    EXPECT_TRUE(boss->rockets().empty());
    run(*boss, 1);
    ASSERT_EQ(boss->rockets().size(), 1u);
    // Moving right it starts just outside the right edge, and has fallen once already.
    EXPECT_EQ(boss->rockets()[0].position(), Point(boss->rect().right(), 36));

    std::set<uint32_t> limits;
    uint32_t limit = boss->rocketTimer().limit();
    int sinceDrop = 0;
    int leftDrops = 0;
    for (int i = 0; i < 2000; ++i) {
        run(*boss, 1);
        ++sinceDrop;
        if (boss->rockets().empty() || boss->rockets().back().rect().y != 30 + Rocket::kFallStep)
            continue;
        EXPECT_EQ(sinceDrop, static_cast<int>(limit) + 1);
        // Moving left it starts inside the body's left end.
        const bool left = boss->direction() == Boss01::kMovingLeft;
        EXPECT_EQ(boss->rockets().back().rect().x, left ? boss->rect().x : boss->rect().right());
        leftDrops += left ? 1 : 0;
        limit = boss->rocketTimer().limit();
        limits.insert(limit);
        sinceDrop = 0;
    }
    EXPECT_GT(leftDrops, 0);
    EXPECT_GT(limits.size(), 5u);
    EXPECT_GE(*limits.begin(), 18u);
    EXPECT_LE(*limits.rbegin(), 36u);
}

TEST(Boss01Rockets, LandOnThe92ndFallWithTheImpactExplosion)
{
    auto boss = makeBoss(3);
    run(*boss, 25);
    const Point dropped = boss->rockets()[0].position();
    run(*boss, 90);
    EXPECT_EQ(boss->rockets()[0].position(), Point(dropped.x, 30 + 91 * 6));
    const int soundsBefore = boss->explosionSoundStarts();
    run(*boss, 1);
    for (const Rocket& rocket : boss->rockets())
        EXPECT_NE(rocket.position(), Point(dropped.x, 582));
    EXPECT_EQ(boss->explosionSoundStarts(), soundsBefore + 1);
    // The explosion is centred on the landed rocket (top edge at 582), rewound from its last frame
    // and advanced once since.
    ASSERT_TRUE(boss->impactArea().has_value());
    EXPECT_EQ(boss->impactArea()->center(), Rect(dropped.x, 582, Rocket::kWidth, Rocket::kHeight).center());
    EXPECT_EQ(*boss->impactArea(), boss->impactExplosion()->rect());
    EXPECT_EQ(boss->impactExplosion()->current(), 0u);
    EXPECT_EQ(boss->impactExplosion()->frameTimer().count(), 1u);
}

TEST(Boss01Rockets, TwoLandingsInOneUpdateRestartTheOneImpactExplosionThatHurtsUntilItsLastFrame)
{
    auto boss = makeBoss(9);
    const int length = runLength(*boss->impactExplosion());
    ASSERT_GT(length, 1) << "the explosion needs at least two frames";
    // Before any landing it runs once at its initial place, reported but not drawn.
    EXPECT_EQ(boss->impactArea()->position(), Point(0, 0));
    run(*boss, length - 1, false);
    EXPECT_TRUE(boss->impactArea().has_value());
    run(*boss, 1, false);
    EXPECT_FALSE(boss->impactArea().has_value());

    // Every rocket falls once; the two that land go, the explosion stands where the second came down.
    boss->rockets().clear();
    Rocket prototype("data/img/rocket.png", {0, 0});
    for (Point p : {Point{100, 576}, Point{200, 100}, Point{300, 576}, Point{400, 200}}) {
        prototype.setPosition(p);
        boss->rockets().push_back(prototype);
    }
    const int sounds = boss->explosionSoundStarts();
    run(*boss, 1);
    std::vector<Point> left;
    for (const Rocket& rocket : boss->rockets())
        if (rocket.rect().y != 36)
            left.push_back(rocket.position());
    EXPECT_EQ(left, (std::vector<Point>{{200, 106}, {400, 206}}));
    EXPECT_EQ(boss->explosionSoundStarts(), sounds + 2);
    EXPECT_EQ(boss->impactExplosion()->rect().center(), Rect(300, 582, 11, 20).center());
    // The update of the landing is the explosion's first step; it hurts until its last frame.
    for (int n = 2; n <= length; ++n) {
        ASSERT_TRUE(boss->impactArea().has_value()) << "update " << n;
        run(*boss, 1, false);
    }
    EXPECT_FALSE(boss->impactArea().has_value());
}

TEST(Boss01Hits, HitboxIsTheLowerLeadingEndOfTheBodyAndEveryBulletCounts)
{
    auto boss = makeBoss(1);
    // Moving right from (400, 30): the box spans x 464..569, y 44..133.
    EXPECT_EQ(boss->hitbox(), Rect(464, 44, 106, 90));
    std::vector<Bullet> bullets{bulletAt({456, 80}), // in the trailing 64 pixels, touching the edge
        bulletAt({500, 36}), // in the upper 14 pixels, touching the edge
        bulletAt({570, 80}), // just past the front
        bulletAt({500, 134})}; // just below
    boss->update(bullets);
    EXPECT_EQ(bullets.size(), 4u);
    EXPECT_EQ(boss->health(), 880);

    // One pixel further in does hit (the box is tested before this update's move); two bullets in
    // one update cost 20, and a bullet elsewhere stays.
    const int x = boss->hitbox().x;
    bullets = {bulletAt({x - 7, 80}), bulletAt({20, 600}), bulletAt({x + 20, 37})};
    boss->update(bullets);
    ASSERT_EQ(bullets.size(), 1u);
    EXPECT_EQ(bullets[0].rect().position(), Point(20, 600));
    EXPECT_EQ(boss->health(), 860);

    // Moving left the box is at the left end.
    while (boss->direction() == Boss01::kMovingRight)
        run(*boss, 1);
    const Rect body = boss->rect();
    EXPECT_EQ(boss->hitbox(), Rect(body.x, body.y + 14, 106, 90));
    bullets = {bulletAt({body.x + 106, 80}), bulletAt({body.x + 105, 80})};
    boss->update(bullets);
    ASSERT_EQ(bullets.size(), 1u);
    EXPECT_EQ(bullets[0].rect().x, body.x + 106);
    EXPECT_EQ(boss->health(), 850);
}

TEST(Boss01Hits, FlashBlinksEveryTwoUpdatesFor37Updates)
{
    auto boss = makeBoss(4);
    const Texture body = boss->animation()->texture();
    for (int n = 1; n <= 40; ++n) {
        // A second hit in the middle of the flash does not lengthen it.
        if (n == 1 || n == 10)
            hit(*boss);
        else
            run(*boss, 1);
        const bool on = n <= 37 && (n / 2) % 2 == 1;
        EXPECT_EQ(boss->isFlashOn(), on) << "update " << n;
        EXPECT_EQ(body.colorMod(), on ? kTint : kWhite) << "update " << n;
    }
}

TEST(Boss01Death, DiesOnThe88thHitThenExplodesSoundsFadesAndFinishes)
{
    auto boss = makeBoss(8);
    run(*boss, 3);
    // The rockets are cleared before the killing update and after it, so that no landing mixes in.
    for (int hits = 1; hits <= 88; ++hits) {
        ASSERT_FALSE(boss->isDead());
        if (hits == 88)
            boss->rockets().clear();
        hit(*boss);
    }
    boss->rockets().clear();
    // The first step of the death runs in the killing update: its one sound is the first of the sequence.
    EXPECT_TRUE(boss->isDead());
    EXPECT_EQ(boss->health(), 0);
    EXPECT_FLOAT_EQ(boss->fade(), 1.0f - 0.008f);
    EXPECT_TRUE(hasStarted(boss->deathExplosions()[0]));
    EXPECT_FALSE(hasStarted(boss->deathExplosions()[1]));
    const int sounds = boss->explosionSoundStarts() - 1;
    const Rect body = boss->rect();
    const Texture texture = boss->animation()->texture();
    const std::vector<Point> offsets{{0, 0}, {-10, -5}, {14, 5}, {0, -20}, {5, 15}};
    const int32_t cx = body.center().x + (boss->direction() == Boss01::kMovingRight ? 40 : -40);

    std::vector<int> soundUpdates;
    std::vector<int> starts{1, 0, 0, 0, 0};
    int last = boss->explosionSoundStarts();
    for (int n = 2; n <= 241; ++n) {
        EXPECT_FALSE(boss->isFinished()) << "update " << n;
        // Dying, it stands still, drops nothing and bullets fly through.
        std::vector<Bullet> bullets{bulletAt(boss->hitbox().center()), bulletAt(body.center())};
        boss->update(bullets);
        ASSERT_EQ(bullets.size(), 2u);
        ASSERT_EQ(boss->rect(), body);
        ASSERT_TRUE(boss->rockets().empty());
        if (boss->explosionSoundStarts() != last) {
            EXPECT_EQ(boss->explosionSoundStarts(), last + 1);
            soundUpdates.push_back(n);
            last = boss->explosionSoundStarts();
        }
        for (size_t k = 1; k < 5; ++k)
            if (!starts[k] && hasStarted(boss->deathExplosions()[k]))
                starts[k] = n;
        // Opaque for 37 updates, then straight to 0.696 (alpha 177); transparent from the 125th.
        const int alpha = n <= 37 ? 255 : n == 38 ? 177 : n >= 125 ? 0 : texture.alpha();
        EXPECT_EQ(texture.alpha(), alpha) << "update " << n;
        EXPECT_EQ(texture.colorMod(), kTint) << "the tint of the killing hit stays";
    }
    EXPECT_TRUE(boss->isFinished());
    EXPECT_EQ(boss->health(), 0);
    EXPECT_EQ(boss->explosionSoundStarts() - sounds, 13);
    EXPECT_EQ(soundUpdates, (std::vector<int>{24, 25, 26, 49, 50, 51, 74, 75, 76, 99, 100, 101}));
    EXPECT_EQ(starts, (std::vector<int>{1, 25, 50, 75, 100}));
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(boss->deathExplosions()[i].rect().center(), Point(cx + offsets[i].x, body.center().y + offsets[i].y));
        EXPECT_TRUE(boss->deathExplosions()[i].isLastFrame());
    }
}

TEST(Boss01Death, RocketsInFlightKeepLanding)
{
    auto boss = makeBoss(10);
    while (!boss->isDead())
        hit(*boss);
    const std::vector<Rect> inFlight = rocketRects(*boss);
    ASSERT_GE(inFlight.size(), 2u);
    const Rect highest = inFlight.back();
    const int sounds = boss->explosionSoundStarts();
    // Each falls 6 pixels a frame and lands once its top edge passes y = 580.
    const int lastLanding = (580 - highest.y) / 6 + 1;
    run(*boss, lastLanding - 1);
    ASSERT_EQ(boss->rockets().size(), 1u);
    EXPECT_EQ(boss->rockets()[0].rect(), Rect(highest.x, highest.y + 6 * (lastLanding - 1), 11, 20));
    run(*boss, 1);
    EXPECT_TRUE(boss->rockets().empty());
    EXPECT_TRUE(boss->impactArea().has_value());
    // One sound per landing, plus the death sequence's at its updates 24 to 26, 49 to 51 and 74 to 76.
    run(*boss, 96 - 1 - lastLanding);
    EXPECT_EQ(boss->explosionSoundStarts() - sounds, static_cast<int>(inFlight.size()) + 9);
}

TEST(Boss01Restart, FromTheMiddleOfAFightFromDeathAndFromFinished)
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
    for (int i = 0; i < 60; ++i)
        hit(*boss);
    run(*boss, 63);
    ASSERT_EQ(boss->health(), 280);
    ASSERT_FALSE(boss->rockets().empty());
    const uint32_t limit = boss->rocketTimer().limit();
    ASSERT_NE(limit, 24u) << "pick a seed whose last drawn duration differs from the first";
    expectFresh();
    // The first rocket after the restart comes after the last drawn duration.
    run(*boss, static_cast<int>(limit));
    EXPECT_TRUE(boss->rockets().empty());
    run(*boss, 1);
    EXPECT_EQ(boss->rockets().size(), 1u);

    killWithoutRockets(*boss);
    run(*boss, 60);
    expectFresh();
    killWithoutRockets(*boss);
    run(*boss, 240);
    ASSERT_TRUE(boss->isFinished());
    EXPECT_EQ(boss->animation()->texture().alpha(), 0);
    expectFresh();

    // Another death runs the whole sequence again, finishing on its 241st update.
    killWithoutRockets(*boss);
    const int sounds = boss->explosionSoundStarts() - 1;
    run(*boss, 239);
    EXPECT_FALSE(boss->isFinished());
    run(*boss, 1);
    EXPECT_TRUE(boss->isFinished());
    EXPECT_EQ(boss->explosionSoundStarts() - sounds, 13);
}

// The boss drawn into the off-screen target and read back.
TEST(Boss01Picture, TheHitTintAndTheMirrorImageMovingLeftShowInTheFrames)
{
    auto boss = makeBoss(31);
    hit(*boss);
    run(*boss, 1);
    ASSERT_TRUE(boss->isFlashOn());
    // The hit tint: the same frame drawn untinted is the reference.
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
