// The first boss, frame by frame: its patrol, rockets and impact explosion, hit box and flash, the
// death sequence with its explosions and fade, and the restart after a game over. Built exactly as
// the game builds it, from the real asset files, with the generator seeded.

#include "Boss01.h"
#include "Bullet.h"

#include "Core/Core.h"
#include "Graphics/Image.h"
#include "Graphics/Renderer.h"
#include "Math/Random.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <vector>

namespace {

const Color kTint{128, 64, 0, 255};
const Color kWhite{255, 255, 255, 255};

std::unique_ptr<Boss01> makeBoss()
{
    startHeadlessCore();
    auto boss = std::make_unique<Boss01>(Point{400, 30});
    boss->setHitSound("data/sfx/bossHit.wav");
    boss->setRocket("data/img/rocket.png");
    boss->setExplosion("data/img/explosion/explode.xml");
    boss->setExplosionSound("data/sfx/explode.wav");
    boss->setAnimation("data/img/boss01/boss01_anim.xml");
    return boss;
}

Bullet bulletAt(Point p) { return Bullet("data/img/bullet.png", p, Bullet::kRight); }

// A bullet in the middle of the hit box the next update will test.
Bullet bulletOnHitbox(const Boss01& boss) { return bulletAt(boss.hitbox().center()); }

void run(Boss01& boss, int updates)
{
    std::vector<Bullet> none;
    for (int i = 0; i < updates; ++i)
        boss.update(none);
}

// Hits the boss once per update until it dies; returns the number of hits. The rockets are cleared
// before the killing update and after it, so that no landing mixes with the death sequence.
int killWithoutRockets(Boss01& boss)
{
    int hits = 0;
    while (!boss.isDead()) {
        if (boss.health() <= Boss01::kHitDamage)
            boss.rockets().clear();
        std::vector<Bullet> bullets{bulletOnHitbox(boss)};
        boss.update(bullets);
        ++hits;
    }
    boss.rockets().clear();
    return hits;
}

// Updates with the rocket list emptied before each, so that nothing lands.
void runWithoutLandings(Boss01& boss, int updates)
{
    std::vector<Bullet> none;
    for (int i = 0; i < updates; ++i) {
        boss.rockets().clear();
        boss.update(none);
    }
}

// Updates an explosion needs to reach its last frame: each frame lasts limit + 1 updates.
int runLength(const Animation& explosion)
{
    return static_cast<int>((explosion.frames().size() - 1) * (explosion.frameTimer().limit() + 1));
}

bool hasStarted(const Animation& explosion) { return explosion.current() != 0 || explosion.frameTimer().count() != 0; }

// The rocket dropped in this update: it has fallen once from y = 30.
const Rocket* freshRocket(Boss01& boss)
{
    for (const Rocket& rocket : boss.rockets())
        if (rocket.rect().y == 30 + Rocket::kFallStep)
            return &rocket;
    return nullptr;
}

// Draws one frame with the callable as its only drawing (over the cleared target) and reads it back.
Image drawFrame(const std::function<void()>& draw)
{
    Core::instance().scenes().setGlobalScene(Scene({}, draw));
    Core::instance().runFrame();
    Image image = Core::instance().captureFrame();
    Core::instance().scenes().setGlobalScene(Scene());
    return image;
}

const Color kBackground{192, 192, 192, 255};

int distance(Color a, Color b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }

// How far the area's pixels are from the cleared background, summed.
long inkIn(const Image& image, const Rect& area)
{
    long ink = 0;
    for (int y = std::max(area.y, 0); y < std::min(area.bottom(), image.size.h); ++y)
        for (int x = std::max(area.x, 0); x < std::min(area.right(), image.size.w); ++x)
            ink += distance(image.pixel(x, y), kBackground);
    return ink;
}

// The tinted frame against the same frame untinted. Where the body covers the background with
// coverage a (read from blue, which the tint removes entirely), red keeps 128/255 and green 64/255
// of what the picture puts there. Returns the covered pixels that do not follow that rule, and
// counts the covered pixels checked.
int tintMismatches(const Image& tinted, const Image& plain, const Rect& area, const std::vector<Rect>& skip,
                   int& covered)
{
    int mismatches = 0;
    covered = 0;
    for (int y = area.y; y < area.bottom(); ++y)
        for (int x = area.x; x < area.right(); ++x) {
            bool skipped = false;
            for (const Rect& r : skip)
                skipped = skipped || r.contains({x, y});
            const Color f = tinted.pixel(x, y);
            const double a = 1.0 - f.b / 192.0;
            if (skipped || a < 0.5)
                continue;
            ++covered;
            const Color g = plain.pixel(x, y);
            const double rest = (1.0 - a) * 192.0;
            const double r = (g.r - rest) * 128.0 / 255.0 + rest;
            const double gr = (g.g - rest) * 64.0 / 255.0 + rest;
            if (std::abs(r - f.r) > 4.0 || std::abs(gr - f.g) > 4.0)
                ++mismatches;
        }
    return mismatches;
}

} // namespace

TEST(Boss01Patrol, TurnsAtTheEdgesAndKeepsItsHeight)
{
    Random::seed(7);
    auto boss = makeBoss();
    EXPECT_EQ(boss->rect(), Rect(400, 30, 170, 104));
    std::vector<int> turns;
    int32_t direction = boss->direction();
    for (int i = 0; i < 400; ++i) {
        run(*boss, 1);
        EXPECT_EQ(boss->rect().y, 30);
        if (boss->direction() != direction) {
            turns.push_back(boss->rect().x);
            direction = boss->direction();
        }
    }
    ASSERT_GE(turns.size(), 2u);
    EXPECT_EQ(turns[0], 840);
    EXPECT_EQ(turns[1], 8);
    // The body animation follows the body.
    EXPECT_EQ(boss->animation()->rect().position(), boss->rect().position());
}

TEST(Boss01Rockets, FirstDropOnThe25thUpdateThenEvery19To37)
{
    Random::seed(11);
    auto boss = makeBoss();
    EXPECT_EQ(boss->rocketTimer().limit(), 24u);
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
        const Rocket* rocket = freshRocket(*boss);
        if (!rocket)
            continue;
        EXPECT_EQ(sinceDrop, static_cast<int>(limit) + 1);
        if (boss->direction() == Boss01::kMovingLeft) {
            // Moving left it starts inside the body's left end.
            EXPECT_EQ(rocket->rect().x, boss->rect().x);
            ++leftDrops;
        } else {
            EXPECT_EQ(rocket->rect().x, boss->rect().right());
        }
        limit = boss->rocketTimer().limit();
        EXPECT_GE(limit, 18u);
        EXPECT_LE(limit, 36u);
        limits.insert(limit);
        sinceDrop = 0;
    }
    EXPECT_GT(leftDrops, 0);
    EXPECT_GT(limits.size(), 5u);
}

TEST(Boss01Rockets, LandOnThe92ndFallWithTheImpactExplosion)
{
    Random::seed(3);
    auto boss = makeBoss();
    run(*boss, 25);
    const Point dropped = boss->rockets()[0].position();
    run(*boss, 90);
    ASSERT_FALSE(boss->rockets().empty());
    EXPECT_EQ(boss->rockets()[0].position(), Point(dropped.x, 30 + 91 * 6));
    const int soundsBefore = boss->explosionSoundStarts();
    run(*boss, 1);
    for (const Rocket& rocket : boss->rockets())
        EXPECT_NE(rocket.position(), Point(dropped.x, 582));
    EXPECT_EQ(boss->explosionSoundStarts(), soundsBefore + 1);
    // The explosion is centred on the landed rocket (top edge at 582) and harms there.
    const Rect landed(dropped.x, 582, Rocket::kWidth, Rocket::kHeight);
    ASSERT_TRUE(boss->impactArea().has_value());
    EXPECT_EQ(boss->impactArea()->center(), landed.center());
    EXPECT_EQ(*boss->impactArea(), boss->impactExplosion()->rect());
    // Rewound from its last frame (its first run ended long ago) and advanced once since.
    const Animation& explosion = *boss->impactExplosion();
    ASSERT_GT(explosion.frameTimer().limit(), 0u);
    EXPECT_EQ(explosion.current(), 0u);
    EXPECT_EQ(explosion.frameTimer().count(), 1u);
}

TEST(Boss01Rockets, ImpactAreaOnlyWhileTheExplosionIsNotOnItsLastFrame)
{
    Random::seed(5);
    auto boss = makeBoss();
    const int length = runLength(*boss->impactExplosion());
    ASSERT_GT(length, 1) << "the explosion needs at least two frames";
    // Before any landing it runs once at its initial place, reported but not drawn.
    EXPECT_TRUE(boss->impactArea().has_value());
    EXPECT_EQ(boss->impactArea()->position(), Point(0, 0));
    runWithoutLandings(*boss, length - 1);
    EXPECT_TRUE(boss->impactArea().has_value());
    runWithoutLandings(*boss, 1);
    EXPECT_FALSE(boss->impactArea().has_value());
    runWithoutLandings(*boss, 5);
    EXPECT_FALSE(boss->impactArea().has_value());

    // A landing rewinds it: the update of the landing is its first step.
    boss->rockets().clear();
    boss->rockets().emplace_back("data/img/rocket.png", Point{300, 576});
    std::vector<Bullet> none;
    boss->update(none);
    EXPECT_EQ(freshRocket(*boss) ? 1u : 0u, boss->rockets().size());
    for (int n = 2; n < length; ++n) {
        ASSERT_TRUE(boss->impactArea().has_value()) << "update " << n;
        runWithoutLandings(*boss, 1);
    }
    EXPECT_TRUE(boss->impactArea().has_value());
    runWithoutLandings(*boss, 1);
    EXPECT_FALSE(boss->impactArea().has_value());
}

TEST(Boss01Rockets, EveryRocketFallsOnceAndTwoLandingsRestartTheOneExplosion)
{
    Random::seed(9);
    auto boss = makeBoss();
    run(*boss, 30);
    boss->rockets().clear();
    Rocket prototype("data/img/rocket.png", {0, 0});
    const std::vector<Point> start{{100, 576}, {200, 100}, {300, 576}, {400, 200}};
    for (Point p : start) {
        prototype.setPosition(p);
        boss->rockets().push_back(prototype);
    }
    const int sounds = boss->explosionSoundStarts();
    std::vector<Bullet> none;
    boss->update(none);

    std::vector<Point> left;
    for (const Rocket& rocket : boss->rockets())
        if (rocket.rect().y != 36)
            left.push_back(rocket.position());
    EXPECT_EQ(left, (std::vector<Point>{{200, 106}, {400, 206}}));
    EXPECT_EQ(boss->explosionSoundStarts(), sounds + 2);
    // The explosion stands where the second rocket came down.
    EXPECT_EQ(boss->impactExplosion()->rect().center(), Rect(300, 582, 11, 20).center());
    EXPECT_TRUE(boss->impactArea().has_value());
}

TEST(Boss01Hits, HitboxIsTheLowerLeadingEndOfTheBody)
{
    Random::seed(1);
    auto boss = makeBoss();
    // Moving right from (400, 30): the box spans x 464..569, y 44..133.
    EXPECT_EQ(boss->hitbox(), Rect(464, 44, 106, 90));
    std::vector<Bullet> bullets{bulletAt({456, 80}),   // in the trailing 64 pixels, touching the edge
                                bulletAt({500, 36}),   // in the upper 14 pixels, touching the edge
                                bulletAt({570, 80}),   // just past the front
                                bulletAt({500, 134})}; // just below
    boss->update(bullets);
    EXPECT_EQ(bullets.size(), 4u);
    EXPECT_EQ(boss->health(), 880);

    // Each bullet one pixel further in does hit (the box is tested before this update's move).
    bullets = {bulletAt({boss->hitbox().x - 7, 80})};
    boss->update(bullets);
    EXPECT_TRUE(bullets.empty());
    EXPECT_EQ(boss->health(), 870);
    bullets = {bulletAt({boss->hitbox().x + 20, 37})};
    boss->update(bullets);
    EXPECT_TRUE(bullets.empty());
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

TEST(Boss01Hits, TwoBulletsInOneUpdateCost20AndTheOthersStay)
{
    Random::seed(2);
    auto boss = makeBoss();
    const Point c = boss->hitbox().center();
    std::vector<Bullet> bullets{bulletAt(c), bulletAt({20, 600}), bulletAt({c.x + 10, c.y - 10})};
    boss->update(bullets);
    EXPECT_EQ(boss->health(), 860);
    ASSERT_EQ(bullets.size(), 1u);
    EXPECT_EQ(bullets[0].rect().position(), Point(20, 600));
}

TEST(Boss01Hits, FlashBlinksEveryTwoUpdatesFor37Updates)
{
    Random::seed(4);
    auto boss = makeBoss();
    Texture body = boss->animation()->texture();
    for (int n = 1; n <= 40; ++n) {
        // A second hit in the middle of the flash does not lengthen it.
        std::vector<Bullet> bullets;
        if (n == 1 || n == 10)
            bullets.push_back(bulletOnHitbox(*boss));
        boss->update(bullets);
        const bool on = n <= 37 && (n / 2) % 2 == 1;
        EXPECT_EQ(boss->isFlashOn(), on) << "update " << n;
        EXPECT_EQ(body.colorMod(), on ? kTint : kWhite) << "update " << n;
    }
    EXPECT_EQ(boss->health(), 860);
}

TEST(Boss01Death, DiesOnThe88thHitAndRunsTheFirstStepAtOnce)
{
    Random::seed(6);
    auto boss = makeBoss();
    std::vector<Bullet> bullets;
    for (int i = 0; i < 87; ++i) {
        bullets = {bulletOnHitbox(*boss)};
        boss->update(bullets);
    }
    EXPECT_FALSE(boss->isDead());
    EXPECT_EQ(boss->health(), 10);
    const int sounds = boss->explosionSoundStarts();
    bullets = {bulletOnHitbox(*boss)};
    boss->update(bullets);
    EXPECT_TRUE(boss->isDead());
    EXPECT_EQ(boss->health(), 0);
    EXPECT_FLOAT_EQ(boss->fade(), 1.0f - 0.008f);
    EXPECT_GE(boss->explosionSoundStarts(), sounds + 1);
    EXPECT_TRUE(hasStarted(boss->deathExplosions()[0]));
    EXPECT_FALSE(hasStarted(boss->deathExplosions()[1]));
    EXPECT_EQ(boss->animation()->texture().colorMod(), kTint);

    // Dying, it stands still and bullets fly through.
    const Rect body = boss->rect();
    bullets = {bulletOnHitbox(*boss), bulletAt(body.center())};
    boss->update(bullets);
    EXPECT_EQ(bullets.size(), 2u);
    EXPECT_EQ(boss->health(), 0);
    EXPECT_EQ(boss->rect(), body);
}

TEST(Boss01Death, ExplosionsSoundsFadeAndFinish)
{
    Random::seed(8);
    auto boss = makeBoss();
    run(*boss, 3);
    killWithoutRockets(*boss);
    // Nothing landed in the killing update: its one sound is the first of the sequence.
    const int sounds = boss->explosionSoundStarts() - 1;
    const Rect body = boss->rect();
    Texture texture = boss->animation()->texture();
    const std::vector<Point> offsets{{0, 0}, {-10, -5}, {14, 5}, {0, -20}, {5, 15}};
    const int32_t cx = body.center().x + (boss->direction() == Boss01::kMovingRight ? 40 : -40);
    const int32_t cy = body.center().y;

    std::vector<int> soundUpdates;
    std::vector<int> starts(5, 0);
    starts[0] = 1;
    int last = boss->explosionSoundStarts();
    EXPECT_EQ(last, sounds + 1);
    std::vector<Bullet> none;
    for (int n = 2; n <= 241; ++n) {
        EXPECT_FALSE(boss->isFinished()) << "update " << n;
        boss->update(none);
        EXPECT_TRUE(boss->rockets().empty()) << "no drops while dying";
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
        EXPECT_EQ(texture.colorMod(), kTint);
    }
    EXPECT_TRUE(boss->isFinished());
    EXPECT_EQ(boss->explosionSoundStarts() - sounds, 13);
    EXPECT_EQ(soundUpdates, (std::vector<int>{24, 25, 26, 49, 50, 51, 74, 75, 76, 99, 100, 101}));
    EXPECT_EQ(starts, (std::vector<int>{1, 25, 50, 75, 100}));
    EXPECT_EQ(boss->fade(), 0.0f);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(boss->deathExplosions()[i].rect().center(), Point(cx + offsets[i].x, cy + offsets[i].y));
        EXPECT_TRUE(boss->deathExplosions()[i].isLastFrame());
    }
}

TEST(Boss01Death, RocketsInFlightKeepLanding)
{
    Random::seed(10);
    auto boss = makeBoss();
    std::vector<Bullet> bullets;
    while (!boss->isDead()) {
        bullets = {bulletOnHitbox(*boss)};
        boss->update(bullets);
    }
    std::vector<Point> expected;
    for (const Rocket& rocket : boss->rockets())
        expected.push_back(rocket.position());
    const size_t inFlight = expected.size();
    ASSERT_GE(inFlight, 2u);
    const int sounds = boss->explosionSoundStarts();
    std::vector<Bullet> none;
    // Updates 2 to 96 of the death: each rocket falls 6 pixels a frame and lands past y = 580.
    for (int n = 2; n <= 96; ++n) {
        boss->update(none);
        std::vector<Point> next;
        for (Point p : expected)
            if (p.y + 6 <= 580)
                next.push_back({p.x, p.y + 6});
        const bool landed = next.size() < expected.size();
        expected = next;
        std::vector<Point> actual;
        for (const Rocket& rocket : boss->rockets())
            actual.push_back(rocket.position());
        ASSERT_EQ(actual, expected) << "update " << n;
        if (landed) {
            EXPECT_TRUE(boss->impactArea().has_value());
        }
    }
    EXPECT_TRUE(boss->rockets().empty());
    // One sound per landing, plus the death sequence's at its updates 24 to 26, 49 to 51 and 74 to 76.
    EXPECT_EQ(boss->explosionSoundStarts() - sounds, static_cast<int>(inFlight) + 9);
}

TEST(Boss01Restart, FromTheMiddleOfAFight)
{
    Random::seed(12);
    auto boss = makeBoss();
    std::vector<Bullet> bullets;
    for (int i = 0; i < 60; ++i) {
        bullets = {bulletOnHitbox(*boss)};
        boss->update(bullets);
    }
    run(*boss, 63);
    ASSERT_EQ(boss->health(), 280);
    ASSERT_FALSE(boss->rockets().empty());
    ASSERT_NE(boss->rocketTimer().count(), 0u);
    const uint32_t limit = boss->rocketTimer().limit();
    ASSERT_NE(limit, 24u) << "pick a seed whose last drawn duration differs from the first";

    boss->restart();
    EXPECT_EQ(boss->health(), 880);
    EXPECT_EQ(boss->rect(), Rect(400, 30, 170, 104));
    EXPECT_EQ(boss->direction(), Boss01::kMovingRight);
    EXPECT_FALSE(boss->isDead());
    EXPECT_FALSE(boss->isFlashOn());
    EXPECT_EQ(boss->fade(), 1.0f);
    EXPECT_TRUE(boss->rockets().empty());
    EXPECT_EQ(boss->rocketTimer().limit(), limit);
    EXPECT_EQ(boss->rocketTimer().count(), 0u);
    EXPECT_EQ(boss->animation()->texture().alpha(), 255);
    EXPECT_EQ(boss->animation()->texture().colorMod(), kWhite);
    ASSERT_EQ(boss->deathExplosions().size(), 5u);
    for (const Animation& explosion : boss->deathExplosions())
        EXPECT_FALSE(hasStarted(explosion));
    EXPECT_FALSE(hasStarted(*boss->impactExplosion()));

    // The first rocket after the restart comes after the last drawn duration.
    run(*boss, static_cast<int>(limit));
    EXPECT_TRUE(boss->rockets().empty());
    run(*boss, 1);
    EXPECT_EQ(boss->rockets().size(), 1u);
}

TEST(Boss01Restart, FromDeathAndFromFinishedFightsAgain)
{
    Random::seed(13);
    auto boss = makeBoss();
    killWithoutRockets(*boss);
    run(*boss, 60);
    boss->restart();
    EXPECT_FALSE(boss->isDead());
    EXPECT_EQ(boss->animation()->texture().alpha(), 255);
    EXPECT_EQ(boss->animation()->texture().colorMod(), kWhite);

    // Killed again, then let finish.
    killWithoutRockets(*boss);
    run(*boss, 240);
    ASSERT_TRUE(boss->isFinished());
    EXPECT_EQ(boss->animation()->texture().alpha(), 0);
    boss->restart();
    EXPECT_FALSE(boss->isFinished());
    EXPECT_FALSE(boss->isDead());
    EXPECT_EQ(boss->health(), 880);
    EXPECT_EQ(boss->animation()->texture().alpha(), 255);
    EXPECT_EQ(boss->animation()->texture().colorMod(), kWhite);
    ASSERT_EQ(boss->deathExplosions().size(), 5u);
    for (const Animation& explosion : boss->deathExplosions())
        EXPECT_FALSE(hasStarted(explosion));

    // A third death runs the whole sequence again, finishing on its 241st update.
    killWithoutRockets(*boss);
    const int sounds = boss->explosionSoundStarts() - 1;
    run(*boss, 239);
    EXPECT_FALSE(boss->isFinished());
    run(*boss, 1);
    EXPECT_TRUE(boss->isFinished());
    EXPECT_EQ(boss->explosionSoundStarts() - sounds, 13);
}

// The boss drawn into the off-screen target and read back, under a stream of bullets fired straight
// up into its hit box. The frames are saved to /tmp/boss_01_*.png for a look.
TEST(Boss01Picture, FlashRocketsExplosionsAndFadeShowInTheFrames)
{
    Random::seed(31);
    auto boss = makeBoss();
    std::vector<Bullet> bullets;
    int updates = 0;
    auto step = [&] {
        // Every sixth update a bullet starts just below the hit box; the boss removes those that strike.
        if (!boss->isDead() && updates % 6 == 0) {
            Bullet bullet = bulletAt({boss->hitbox().center().x, boss->hitbox().bottom() + 12});
            bullet.setVdir(Bullet::kStraightUp);
            bullets.push_back(bullet);
        }
        for (Bullet& bullet : bullets)
            bullet.move();
        std::erase_if(bullets, [](const Bullet& b) { return b.rect().bottom() < 0; });
        boss->update(bullets);
        ++updates;
    };
    auto drawAll = [&] {
        boss->draw();
        for (Bullet& bullet : bullets)
            bullet.draw();
    };
    auto rocketRects = [&] {
        std::vector<Rect> rects;
        for (const Rocket& rocket : boss->rockets())
            rects.push_back(rocket.rect());
        return rects;
    };

    // The hit tint: the same frame drawn untinted is the reference.
    while (!boss->isFlashOn())
        step();
    const Image tinted = drawFrame(drawAll);
    Texture body = boss->animation()->texture();
    body.setColorMod(255, 255, 255);
    const Image plain = drawFrame(drawAll);
    body.setColorMod(128, 64, 0);
    int covered = 0;
    const int mismatches = tintMismatches(tinted, plain, boss->rect(), rocketRects(), covered);
    EXPECT_GT(covered, 3000);
    EXPECT_LT(mismatches, covered / 100);
    EXPECT_TRUE(tinted.savePng("/tmp/boss_01_flash.png"));
    EXPECT_TRUE(plain.savePng("/tmp/boss_01_plain.png"));

    // Rockets in flight are drawn where they are.
    while (boss->rockets().size() < 3)
        step();
    const Image rockets = drawFrame(drawAll);
    for (const Rocket& rocket : boss->rockets())
        EXPECT_GT(inkIn(rockets, rocket.rect()), 500) << rocket.rect();
    EXPECT_TRUE(rockets.savePng("/tmp/boss_01_rockets.png"));

    // A landing shows the impact explosion, a few updates into its run.
    const int sounds = boss->explosionSoundStarts();
    while (boss->explosionSoundStarts() == sounds)
        step();
    for (int i = 0; i < 6; ++i)
        step();
    ASSERT_TRUE(boss->impactArea().has_value());
    const Image impact = drawFrame(drawAll);
    EXPECT_GT(inkIn(impact, *boss->impactArea()), 100000);
    EXPECT_TRUE(impact.savePng("/tmp/boss_01_impact.png"));

    // Moving left, the body is the mirror image of the same animation frame drawn plainly.
    while (boss->direction() == Boss01::kMovingRight)
        step();
    const Image mirrored = drawFrame(drawAll);
    Animation reference = *boss->animation();
    const Image straight = drawFrame([&] { reference.draw(); });
    const Rect r = boss->rect();
    int same = 0, compared = 0;
    for (int y = r.y; y < r.bottom(); ++y)
        for (int x = r.x; x < r.right(); ++x) {
            bool rocket = false;
            for (const Rect& rr : rocketRects())
                rocket = rocket || rr.contains({x, y});
            if (rocket)
                continue;
            ++compared;
            same += distance(mirrored.pixel(x, y), straight.pixel(r.x + r.right() - 1 - x, y)) <= 6;
        }
    EXPECT_GT(same, compared * 97 / 100);
    EXPECT_TRUE(mirrored.savePng("/tmp/boss_01_left.png"));

    // Death: the explosions come out, the body fades. The strip of the body away from the facing
    // side is clear of explosions, bullets and rockets.
    while (!boss->isDead())
        step();
    const Rect dying = boss->rect();
    const Rect strip = boss->direction() == Boss01::kMovingRight ? Rect(dying.x, dying.y, 60, dying.h)
                                                                 : Rect(dying.right() - 60, dying.y, 60, dying.h);
    int n = 1;
    auto stepTo = [&](int update) {
        while (n < update) {
            step();
            ++n;
        }
    };
    stepTo(30);
    const Image death = drawFrame(drawAll);
    EXPECT_GT(inkIn(death, boss->deathExplosions()[0].rect()), 50000);
    EXPECT_GT(inkIn(death, boss->deathExplosions()[1].rect()), 50000);
    EXPECT_TRUE(death.savePng("/tmp/boss_01_death.png"));
    stepTo(37);
    const long opaque = inkIn(drawFrame(drawAll), strip);
    stepTo(38);
    const Image fading = drawFrame(drawAll);
    const long faded = inkIn(fading, strip);
    EXPECT_GT(opaque, 100000);
    EXPECT_NEAR(static_cast<double>(faded) / static_cast<double>(opaque), 177.0 / 255.0, 0.03);
    EXPECT_TRUE(fading.savePng("/tmp/boss_01_fade38.png"));
    stepTo(125);
    const Image gone = drawFrame(drawAll);
    EXPECT_EQ(inkIn(gone, strip), 0);
    EXPECT_TRUE(gone.savePng("/tmp/boss_01_gone.png"));
}
