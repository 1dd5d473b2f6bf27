// The second boss, frame by frame: its zigzag, laser pairs and fireballs, the switch to the second
// stage at half health, the death fade, and the restart after a game over. Built exactly as the game
// builds it, from the real asset files, with the generator seeded.

#include "Boss02.h"
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
#include <vector>

namespace {

const Color kTint{128, 64, 0, 255};
const Color kWhite{255, 255, 255, 255};

std::unique_ptr<Boss02> makeBoss()
{
    startHeadlessCore();
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

Bullet bulletAt(Point p) { return Bullet("data/img/bullet.png", p, Bullet::kRight); }

// Bullets in the middle of the body: it moves at most 6 by 3 pixels before the hit test.
std::vector<Bullet> bulletsOnBody(const Boss02& boss, int count)
{
    std::vector<Bullet> bullets;
    for (int i = 0; i < count; ++i)
        bullets.push_back(bulletAt(boss.rect().center()));
    return bullets;
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

Point displacement(Boss02& boss)
{
    const Point before = boss.rect().position();
    run(boss, 1);
    return {boss.rect().x - before.x, boss.rect().y - before.y};
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

bool inAny(const std::vector<Rect>& rects, Point p)
{
    return std::any_of(rects.begin(), rects.end(), [&](const Rect& r) { return r.contains(p); });
}

// How far the area's pixels (outside the skipped rectangles) are from the cleared background, summed.
long inkIn(const Image& image, const Rect& area, const std::vector<Rect>& skip = {})
{
    long ink = 0;
    for (int y = std::max(area.y, 0); y < std::min(area.bottom(), image.size.h); ++y)
        for (int x = std::max(area.x, 0); x < std::min(area.right(), image.size.w); ++x)
            if (!inAny(skip, {x, y}))
                ink += distance(image.pixel(x, y), kBackground);
    return ink;
}

// Where the boss's projectiles are drawn now.
std::vector<Rect> projectileRects(const Boss02& boss)
{
    std::vector<Rect> rects;
    for (const Laser& laser : const_cast<Boss02&>(boss).lasers())
        rects.push_back(laser.rect());
    for (const Fireball& fireball : const_cast<Boss02&>(boss).fireballs()) {
        rects.push_back(fireball.rect());
        for (const Animation& explosion : fireball.row())
            rects.push_back(explosion.rect());
    }
    return rects;
}

} // namespace

TEST(Boss02Movement, ZigzagsBetweenTheTurnPoints)
{
    Random::seed(21);
    auto boss = makeBoss();
    EXPECT_EQ(boss->rect(), Rect(700, 120, 79, 94));
    std::vector<int32_t> xTurns, yTurns;
    int32_t dx = boss->directionX(), dy = boss->directionY();
    for (int i = 0; i < 1200; ++i) {
        const Point step = displacement(*boss);
        EXPECT_EQ(std::abs(step.x), 3);
        EXPECT_EQ(std::abs(step.y), 2);
        EXPECT_GE(boss->rect().x, 10);
        EXPECT_LE(boss->rect().x, 841);
        EXPECT_GE(boss->rect().y, 40);
        EXPECT_LE(boss->rect().y, 200);
        if (boss->directionX() != dx)
            xTurns.push_back(boss->rect().x);
        if (boss->directionY() != dy)
            yTurns.push_back(boss->rect().y);
        dx = boss->directionX();
        dy = boss->directionY();
    }
    ASSERT_GE(xTurns.size(), 3u);
    EXPECT_EQ(xTurns[0], 841);
    EXPECT_EQ(xTurns[1], 10);
    EXPECT_EQ(xTurns[2], 841);
    ASSERT_GE(yTurns.size(), 2u);
    EXPECT_EQ(yTurns[0], 200);
    EXPECT_EQ(yTurns[1], 40);
}

TEST(Boss02Lasers, PairsFromTheCentreOnThe55thUpdateThenEvery49To61)
{
    Random::seed(22);
    auto boss = makeBoss();
    EXPECT_EQ(boss->laserTimer().limit(), 54u);
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

    uint32_t limit = boss->laserTimer().limit();
    int sinceShot = 0;
    int pairs = 0;
    for (int i = 0; i < 600; ++i) {
        const int sounds = boss->laserSoundStarts();
        run(*boss, 1);
        ++sinceShot;
        if (boss->laserSoundStarts() == sounds)
            continue;
        EXPECT_EQ(boss->laserSoundStarts(), sounds + 1);
        EXPECT_EQ(sinceShot, static_cast<int>(limit) + 1);
        limit = boss->laserTimer().limit();
        EXPECT_GE(limit, 48u);
        EXPECT_LE(limit, 60u);
        sinceShot = 0;
        ++pairs;
    }
    EXPECT_GE(pairs, 9);
}

TEST(Boss02Lasers, BounceOnceAtTheGroundAndLeaveThroughTheTop)
{
    Random::seed(23);
    auto boss = makeBoss();
    Laser laser("data/img/laser.png");
    auto add = [&](Point p, int32_t direction) {
        laser.setPosition(p);
        laser.setDirection(direction);
        boss->lasers().push_back(laser);
    };
    add({300, 3}, Laser::kUpLeft);      // leaves through the top in this update
    add({400, 100}, Laser::kUpRight);   // must still move although the one before is removed
    add({500, 576}, Laser::kDownLeft);  // bounces: 582
    add({600, 590}, Laser::kDownRight); // bounces at 596, then stays going up while still low
    add({-50, 300}, Laser::kDownLeft);  // outside the arena: flies on
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
    size_t leaving = 0;
    for (const Laser& l : lasers)
        leaving +=
            l.position().y < Laser::kStep && (l.direction() == Laser::kUpLeft || l.direction() == Laser::kUpRight);
    const size_t count = lasers.size();
    const int pairs = boss->laserSoundStarts();
    run(*boss, 1);
    EXPECT_EQ(lasers.size(), count - leaving + 2 * static_cast<size_t>(boss->laserSoundStarts() - pairs));
    ASSERT_FALSE(lasers.empty());
    EXPECT_NE(lasers.front().position().x, 500 + 6 * 166);
}

TEST(Boss02Fireballs, FirstOnThe181stUpdateThenEvery121AndBurstWithSound)
{
    Random::seed(24);
    auto boss = makeBoss();
    EXPECT_EQ(boss->fireballTimer().limit(), 180u);
    run(*boss, 180);
    EXPECT_TRUE(boss->fireballs().empty());
    run(*boss, 1);
    ASSERT_EQ(boss->fireballs().size(), 1u);
    // Dropped from the body's centre and already one step down.
    const Point c = boss->rect().center();
    EXPECT_EQ(boss->fireballs()[0].position(), Point(c.x, c.y + 8));
    EXPECT_EQ(boss->fireballTimer().limit(), 120u);

    const Animation& middle = boss->fireballs()[0].row()[4];
    const int startingUpdates = static_cast<int>(middle.frameTimer().limit()) + 1;
    const int dropY = c.y;
    const int sounds = boss->explosionSoundStarts();

    // Falls 8 pixels a frame until its top edge passes y = 580.
    const int fallUpdates = (580 - dropY) / 8 + 1;
    run(*boss, fallUpdates - 2);
    EXPECT_FALSE(boss->fireballs()[0].isExploding());
    EXPECT_EQ(boss->explosionSoundStarts(), sounds);
    run(*boss, 1);
    EXPECT_TRUE(boss->fireballs()[0].isExploding());
    EXPECT_GT(boss->fireballs()[0].position().y, 580);
    // The sound starts on every update while the middle explosion is on its first frame.
    run(*boss, startingUpdates + 5);
    EXPECT_EQ(boss->explosionSoundStarts(), sounds + startingUpdates);

    // The second fireball 121 updates after the first, while the first row still burns.
    int updates = 181 + fallUpdates + startingUpdates + 5 - 1;
    ASSERT_LT(updates, 301);
    run(*boss, 301 - updates);
    EXPECT_EQ(boss->fireballs().size(), 1u);
    run(*boss, 1);
    ASSERT_EQ(boss->fireballs().size(), 2u);
    const Point second = boss->fireballs()[1].position();
    EXPECT_EQ(second, Point(boss->rect().center().x, boss->rect().center().y + 8));
    // A row that is done is removed in the same update.
    for (int i = 0; i < 400 && boss->fireballs().size() == 2; ++i) {
        run(*boss, 1);
        for (const Fireball& fireball : boss->fireballs())
            EXPECT_FALSE(fireball.isDone());
    }
    // The first one burnt out and went; the second is left.
    ASSERT_EQ(boss->fireballs().size(), 1u);
    EXPECT_EQ(boss->fireballs()[0].position().x, second.x);
}

TEST(Boss02Stages, SwitchAfterThe44thHitThenFasterAndQuicker)
{
    Random::seed(25);
    auto boss = makeBoss();
    const int updates = hitDownTo(*boss, 450);
    EXPECT_EQ(updates, 42);
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
    EXPECT_EQ(boss->rect().size(), Size(122, 103));
    EXPECT_FALSE(boss->isFlashOn());
    EXPECT_EQ(boss->currentTexture().colorMod(), kWhite);

    const Point position = boss->rect().position();
    const Texture first = boss->currentTexture();
    for (int k = 2; k <= 91; ++k) {
        bullets = bulletsOnBody(*boss, 2);
        boss->update(bullets);
        // Bullets fly through; the boss stands still and alternates its look.
        EXPECT_EQ(bullets.size(), 2u);
        EXPECT_EQ(boss->health(), 440);
        EXPECT_EQ(boss->rect().position(), position);
        const bool second = k % 2 == 1;
        EXPECT_EQ(boss->isShowingSecondLook(), second) << k;
        EXPECT_EQ(boss->rect().size(), second ? Size(122, 103) : Size(79, 94)) << k;
        EXPECT_EQ(boss->currentTexture().handle() == first.handle(), second) << k;
        EXPECT_EQ(boss->isTransforming(), k < 91) << k;
    }
    EXPECT_TRUE(boss->isSecondStage());
    EXPECT_FALSE(boss->isInvulnerable());
    EXPECT_TRUE(boss->isShowingSecondLook());
    EXPECT_EQ(boss->rect().size(), Size(122, 103));

    // Second stage: 6 by 3 pixels a frame, laser pairs every 37 to 43 updates once a new interval is drawn.
    for (int i = 0; i < 60; ++i) {
        const Point step = displacement(*boss);
        EXPECT_EQ(std::abs(step.x), 6);
        EXPECT_EQ(std::abs(step.y), 3);
    }
    int pairs = 0;
    for (int i = 0; i < 300; ++i) {
        const int sounds = boss->laserSoundStarts();
        run(*boss, 1);
        if (boss->laserSoundStarts() != sounds) {
            EXPECT_GE(boss->laserTimer().limit(), 36u);
            EXPECT_LE(boss->laserTimer().limit(), 42u);
            ++pairs;
        }
    }
    EXPECT_GE(pairs, 7);
    // And hits count again.
    bullets = bulletsOnBody(*boss, 1);
    boss->update(bullets);
    EXPECT_EQ(boss->health(), 430);
}

TEST(Boss02Stages, ProjectilesInPlayGoOnDuringTheSwitch)
{
    Random::seed(26);
    auto boss = makeBoss();
    run(*boss, 190);
    ASSERT_FALSE(boss->lasers().empty());
    ASSERT_EQ(boss->fireballs().size(), 1u);
    hitDownTo(*boss, 440);
    ASSERT_TRUE(boss->isTransforming());
    const Point fireball = boss->fireballs()[0].position();
    const Point laser = boss->lasers().back().position();
    const int pairs = boss->laserSoundStarts();
    run(*boss, 1);
    EXPECT_EQ(boss->fireballs()[0].position(), Point(fireball.x, fireball.y + 8));
    EXPECT_EQ(std::abs(boss->lasers().back().position().x - laser.x), 6);
    EXPECT_EQ(std::abs(boss->lasers().back().position().y - laser.y), 6);
    // No new shots while switching.
    run(*boss, 80);
    EXPECT_EQ(boss->laserSoundStarts(), pairs);
    EXPECT_LE(boss->fireballs().size(), 1u);
}

TEST(Boss02Death, DiesOnThe88thHitKeepingItsTintAndFades)
{
    Random::seed(27);
    auto boss = makeBoss();
    const Texture first = boss->currentTexture();
    hitDownTo(*boss, 440);
    run(*boss, 90);
    ASSERT_TRUE(boss->isSecondStage());
    // The switch restarted the flash timers, so the tint is on again in the killing update.
    const int hits = hitDownTo(*boss, 0);
    EXPECT_EQ(hits, 43);
    EXPECT_TRUE(boss->isDead());
    EXPECT_FALSE(boss->isFinished());
    ASSERT_TRUE(boss->isFlashOn());

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
    EXPECT_EQ(boss->fade(), 0.0f);
    EXPECT_EQ(boss->health(), 0);
    // Lasers and fireballs of the last moments finish their course; no new ones come.
    EXPECT_EQ(boss->laserSoundStarts(), pairs);
    run(*boss, 400);
    EXPECT_EQ(boss->laserSoundStarts(), pairs);
    EXPECT_TRUE(boss->lasers().empty());
    EXPECT_TRUE(boss->fireballs().empty());
    EXPECT_TRUE(boss->isFinished());
}

TEST(Boss02Restart, FromTheSecondStageInTheMiddleOfAFight)
{
    Random::seed(28);
    auto boss = makeBoss();
    hitDownTo(*boss, 440);
    run(*boss, 250);
    hitDownTo(*boss, 300);
    ASSERT_TRUE(boss->isSecondStage());
    ASSERT_FALSE(boss->lasers().empty());
    const uint32_t laserLimit = boss->laserTimer().limit();
    ASSERT_LE(laserLimit, 42u);
    ASSERT_EQ(boss->fireballTimer().limit(), 120u);

    boss->restart();
    EXPECT_EQ(boss->health(), 880);
    EXPECT_EQ(boss->rect(), Rect(700, 120, 79, 94));
    EXPECT_FALSE(boss->isSecondStage());
    EXPECT_FALSE(boss->isTransforming());
    EXPECT_FALSE(boss->isShowingSecondLook());
    EXPECT_FALSE(boss->isInvulnerable());
    EXPECT_FALSE(boss->isFlashOn());
    EXPECT_FALSE(boss->isDead());
    EXPECT_EQ(boss->directionX(), 1);
    EXPECT_EQ(boss->directionY(), 1);
    EXPECT_TRUE(boss->lasers().empty());
    EXPECT_TRUE(boss->fireballs().empty());
    EXPECT_EQ(boss->currentTexture().colorMod(), kWhite);
    EXPECT_EQ(boss->laserTimer().limit(), laserLimit);
    EXPECT_EQ(boss->laserTimer().count(), 0u);
    EXPECT_EQ(boss->fireballTimer().count(), 0u);
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
}

TEST(Boss02Restart, FromDeathAndFromFinished)
{
    Random::seed(29);
    auto boss = makeBoss();
    const Texture first = boss->currentTexture();
    hitDownTo(*boss, 440);
    run(*boss, 90);
    const Texture second = boss->currentTexture();
    ASSERT_NE(second.handle(), first.handle());
    hitDownTo(*boss, 0);
    run(*boss, 20);
    boss->restart();
    EXPECT_EQ(boss->currentTexture().handle(), first.handle());
    EXPECT_FALSE(boss->isDead());
    EXPECT_EQ(boss->fade(), 1.0f);
    for (const Texture* t : {&first, &second}) {
        EXPECT_EQ(t->alpha(), 255);
        EXPECT_EQ(t->colorMod(), kWhite);
    }

    // The whole fight again, to the end.
    hitDownTo(*boss, 440);
    run(*boss, 90);
    ASSERT_TRUE(boss->isSecondStage());
    hitDownTo(*boss, 0);
    run(*boss, 240);
    ASSERT_TRUE(boss->isFinished());
    EXPECT_EQ(second.alpha(), 0);
    boss->restart();
    EXPECT_FALSE(boss->isFinished());
    EXPECT_EQ(boss->health(), 880);
    EXPECT_EQ(boss->rect(), Rect(700, 120, 79, 94));
    for (const Texture* t : {&first, &second}) {
        EXPECT_EQ(t->alpha(), 255);
        EXPECT_EQ(t->colorMod(), kWhite);
    }
    // Killed once more, it finishes on the 241st update of its death again.
    hitDownTo(*boss, 440);
    run(*boss, 90);
    hitDownTo(*boss, 0);
    run(*boss, 239);
    EXPECT_FALSE(boss->isFinished());
    run(*boss, 1);
    EXPECT_TRUE(boss->isFinished());
}

// The boss drawn into the off-screen target and read back, under a stream of bullets fired straight
// up into its body. The frames are saved to /tmp/boss_02_*.png for a look.
TEST(Boss02Picture, FlashShotsSwitchMirrorAndFadeShowInTheFrames)
{
    Random::seed(41);
    auto boss = makeBoss();
    std::vector<Bullet> bullets;
    int updates = 0;
    auto step = [&] {
        // Every sixth update a bullet starts just below the body; the boss removes those that strike.
        if (!boss->isDead() && updates % 6 == 0) {
            Bullet bullet = bulletAt({boss->rect().center().x, boss->rect().bottom() + 10});
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
    auto clear = [&] {
        std::vector<Rect> rects = projectileRects(*boss);
        for (const Bullet& bullet : bullets)
            rects.push_back(bullet.rect());
        return rects;
    };

    // The hit tint on the first-stage picture: every covered pixel keeps 128/255 of its red, 64/255
    // of its green and none of its blue.
    while (!boss->isFlashOn() || !boss->lasers().empty())
        step();
    const Image tinted = drawFrame(drawAll);
    Texture picture = boss->currentTexture();
    picture.setColorMod(255, 255, 255);
    const Image plain = drawFrame(drawAll);
    picture.setColorMod(128, 64, 0);
    const Rect body = boss->rect();
    int covered = 0, mismatches = 0;
    for (int y = body.y; y < body.bottom(); ++y)
        for (int x = body.x; x < body.right(); ++x) {
            const Color f = tinted.pixel(x, y);
            const double a = 1.0 - f.b / 192.0;
            if (a < 0.5 || inAny(clear(), {x, y}))
                continue;
            ++covered;
            const Color g = plain.pixel(x, y);
            const double rest = (1.0 - a) * 192.0;
            mismatches += std::abs((g.r - rest) * 128.0 / 255.0 + rest - f.r) > 4.0 ||
                std::abs((g.g - rest) * 64.0 / 255.0 + rest - f.g) > 4.0;
        }
    EXPECT_GT(covered, 2000);
    EXPECT_LT(mismatches, covered / 100);
    EXPECT_TRUE(tinted.savePng("/tmp/boss_02_flash.png"));

    // Laser pairs fly from the centre.
    while (boss->lasers().size() < 4)
        step();
    const Image lasers = drawFrame(drawAll);
    const Rect screen{0, 0, 1024, 720};
    int seen = 0;
    for (const Laser& laser : boss->lasers()) {
        if (!screen.contains(laser.rect().position()) ||
            !screen.contains({laser.rect().right(), laser.rect().bottom()}))
            continue;
        EXPECT_GT(inkIn(lasers, laser.rect()), 1000) << laser.rect();
        ++seen;
    }
    EXPECT_GE(seen, 2);
    EXPECT_TRUE(lasers.savePng("/tmp/boss_02_lasers.png"));

    // A fireball bursts into its row on the ground, from the middle outward.
    auto bursting = [&] {
        for (const Fireball& fireball : boss->fireballs())
            if (fireball.isExploding() && fireball.row()[3].current() >= 2)
                return &fireball;
        return static_cast<const Fireball*>(nullptr);
    };
    while (!bursting())
        step();
    const Image burst = drawFrame(drawAll);
    const Fireball& fireball = *bursting();
    // The middle pair has burnt down to its last frame, the next pair burns, the outer ones wait unseen.
    ASSERT_TRUE(fireball.row()[4].isLastFrame());
    EXPECT_GT(inkIn(burst, fireball.row()[4].rect()), 0);
    EXPECT_GT(inkIn(burst, fireball.row()[3].rect()), 20000);
    EXPECT_GT(inkIn(burst, fireball.row()[6].rect()), 20000);
    EXPECT_EQ(inkIn(burst, fireball.row()[0].rect()), 0);
    EXPECT_EQ(inkIn(burst, fireball.row()[9].rect()), 0);
    EXPECT_TRUE(burst.savePng("/tmp/boss_02_fireball.png"));

    // The switch flickers between the two pictures.
    while (!boss->isTransforming())
        step();
    step();
    const Image lookA = drawFrame(drawAll);
    const Rect rectA = boss->rect();
    step();
    const Image lookB = drawFrame(drawAll);
    const Rect rectB = boss->rect();
    EXPECT_EQ(rectA.position(), rectB.position());
    EXPECT_NE(rectA.size(), rectB.size());
    const Rect big{rectA.position(), Boss02::kSecondLook};
    EXPECT_GT(std::abs(inkIn(lookA, big, clear()) - inkIn(lookB, big, clear())), 20000);
    EXPECT_TRUE(lookA.savePng("/tmp/boss_02_switch_a.png"));
    EXPECT_TRUE(lookB.savePng("/tmp/boss_02_switch_b.png"));

    // Moving left in the second stage, the picture is mirrored.
    auto crossed = [&] {
        const std::vector<Rect> rects = clear();
        return std::any_of(rects.begin(), rects.end(), [&](const Rect& p) { return p.intersects(boss->rect()); });
    };
    while (boss->isTransforming() || boss->directionX() != 0 || crossed())
        step();
    ASSERT_FALSE(boss->isDead());
    ASSERT_TRUE(boss->isSecondStage());
    const Image mirrored = drawFrame(drawAll);
    const Rect r = boss->rect();
    const Texture second = boss->currentTexture();
    const Image straight = drawFrame([&] { Core::instance().renderer().copy(second, r); });
    int same = 0;
    for (int y = r.y; y < r.bottom(); ++y)
        for (int x = r.x; x < r.right(); ++x)
            same += distance(mirrored.pixel(x, y), straight.pixel(r.x + r.right() - 1 - x, y)) <= 6;
    EXPECT_GT(same, r.w * r.h * 97 / 100);
    EXPECT_TRUE(mirrored.savePng("/tmp/boss_02_left.png"));

    // Death: the body fades on both pictures, keeping whatever tint it had.
    while (!boss->isDead())
        step();
    const Rect dying = boss->rect();
    const std::vector<Rect> skipFirst = clear();
    const Image first = drawFrame(drawAll);
    for (int n = 2; n <= 20; ++n)
        step();
    std::vector<Rect> skip = clear();
    skip.insert(skip.end(), skipFirst.begin(), skipFirst.end());
    const Image half = drawFrame(drawAll);
    const long inkFirst = inkIn(first, dying, skip);
    EXPECT_GT(inkFirst, 50000);
    EXPECT_NEAR(static_cast<double>(inkIn(half, dying, skip)) / static_cast<double>(inkFirst), 127.0 / 248.0, 0.05);
    EXPECT_TRUE(first.savePng("/tmp/boss_02_death.png"));
    EXPECT_TRUE(half.savePng("/tmp/boss_02_fade20.png"));
    for (int n = 21; n <= 40; ++n)
        step();
    const Image gone = drawFrame(drawAll);
    EXPECT_EQ(inkIn(gone, dying, clear()), 0);
    EXPECT_TRUE(gone.savePng("/tmp/boss_02_gone.png"));
}
