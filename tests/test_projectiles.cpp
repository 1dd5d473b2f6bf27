// The projectiles of the fight: the player's bullets, the first boss's rockets, the second boss's lasers
// and fireballs with their row of explosions. Each is driven frame by frame the way its owner drives it,
// with the game's own pictures and animation files, and drawn into the off-screen target to be read back.

#include "Bullet.h"
#include "Fireball.h"
#include "Laser.h"
#include "Rocket.h"

#include "Core/Core.h"
#include "Graphics/Animation.h"
#include "Graphics/Renderer.h"
#include "Graphics/Surface.h"
#include "support/Headless.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr Color kBackground{10, 20, 30, 255};
constexpr int kGroundLine = 580; // projectiles whose top edge is below it have reached the ground

const std::string kBulletPicture = "data/img/bullet.png";
const std::string kRocketPicture = "data/img/rocket.png";
const std::string kLaserPicture = "data/img/laser.png";
const std::string kFireballPicture = "data/img/fireball.png";
const std::string kRowExplosion = "data/img/explosion/explode2.xml";

class ProjectileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { startHeadlessCore(); }

    // What the given drawing leaves in the off-screen target, cleared to the background first.
    static Image drawn(const std::function<void()>& draw)
    {
        Renderer& renderer = Core::instance().renderer();
        renderer.setTarget(Core::instance().renderTarget().handle());
        renderer.clear(kBackground);
        draw();
        return renderer.readPixels();
    }

    // How many pixels of the block at `at` differ from the picture (mirrored by `flip`): opaque pixels
    // must show the picture's colour, transparent ones the background.
    static int mismatches(const Image& frame, Point at, const Surface& picture, int flip)
    {
        const Size size = picture.size();
        int wrong = 0;
        for (int y = 0; y < size.h; ++y) {
            for (int x = 0; x < size.w; ++x) {
                const int sx = (flip & SDL_FLIP_HORIZONTAL) ? size.w - 1 - x : x;
                const int sy = (flip & SDL_FLIP_VERTICAL) ? size.h - 1 - y : y;
                const Color want = picture.pixel({sx, sy});
                const Color got = frame.pixel(at.x + x, at.y + y);
                if (want.a == 255 && (got.r != want.r || got.g != want.g || got.b != want.b))
                    ++wrong;
                else if (want.a == 0 && got != kBackground)
                    ++wrong;
            }
        }
        return wrong;
    }

    // Pixels of the area that are not the background.
    static int paintedPixels(const Image& frame, const Rect& area)
    {
        int painted = 0;
        for (int y = area.y; y < area.bottom(); ++y) {
            for (int x = area.x; x < area.right(); ++x) {
                if (frame.pixel(x, y) != kBackground)
                    ++painted;
            }
        }
        return painted;
    }

    static int opaquePixels(const Surface& picture)
    {
        int opaque = 0;
        for (int y = 0; y < picture.size().h; ++y) {
            for (int x = 0; x < picture.size().w; ++x) {
                if (picture.pixel({x, y}).a == 255)
                    ++opaque;
            }
        }
        return opaque;
    }
};

// ---------------------------------------------------------------------------------------------------
// Bullets

TEST_F(ProjectileTest, BulletFliesTwelvePixelsAFrameInEightDirections)
{
    struct Flight {
        int hdir;
        int vdir;
        Point step;
    };
    const Flight flights[] = {
        {Bullet::kRight, Bullet::kLevel, {12, 0}},
        {Bullet::kLeft, Bullet::kLevel, {-12, 0}},
        {Bullet::kRight, Bullet::kDiagonalUp, {12, -12}},
        {Bullet::kLeft, Bullet::kDiagonalUp, {-12, -12}},
        {Bullet::kRight, Bullet::kDiagonalDown, {12, 12}},
        {Bullet::kLeft, Bullet::kDiagonalDown, {-12, 12}},
        // Straight up and down ignore the horizontal direction.
        {Bullet::kRight, Bullet::kStraightUp, {0, -12}},
        {Bullet::kLeft, Bullet::kStraightUp, {0, -12}},
        {Bullet::kRight, Bullet::kStraightDown, {0, 12}},
        {Bullet::kLeft, Bullet::kStraightDown, {0, 12}},
        // Unknown directions leave their axis alone.
        {7, Bullet::kLevel, {0, 0}},
        {Bullet::kRight, 9, {12, 0}},
    };
    Bullet prototype(kBulletPicture, {500, 300}, Bullet::kRight);
    EXPECT_EQ(prototype.rect(), Rect(500, 300, 8, 8));
    EXPECT_EQ(prototype.vdir(), Bullet::kLevel);
    for (const Flight& flight : flights) {
        Bullet bullet = prototype;
        bullet.setHdir(flight.hdir);
        bullet.setVdir(flight.vdir);
        bullet.move();
        bullet.move();
        const Point expected{500 + 2 * flight.step.x, 300 + 2 * flight.step.y};
        EXPECT_EQ(bullet.getPosition(), expected) << "hdir " << flight.hdir << " vdir " << flight.vdir;
        EXPECT_EQ(bullet.rect(), Rect(expected, {8, 8}));
    }
    // The prototype itself never moved.
    EXPECT_EQ(prototype.getPosition(), Point(500, 300));
}

TEST_F(ProjectileTest, BulletIsAnEightPixelSquareWhateverItsPicture)
{
    // A 20 x 10 picture, all one colour: it is squeezed into the 8 x 8 hit box.
    const std::string path = scratchDirectory("bullet") + "/wide.png";
    Surface wide(Size{20, 10});
    wide.fill(Color{250, 0, 0, 255});
    ASSERT_EQ(IMG_SavePNG(wide.handle(), path.c_str()), 0);

    Bullet bullet(path, {40, 50}, Bullet::kRight);
    EXPECT_EQ(bullet.rect(), Rect(40, 50, 8, 8));
    const Image frame = drawn([&] { bullet.draw(); });
    EXPECT_EQ(paintedPixels(frame, {40, 50, 8, 8}), 64);
    EXPECT_EQ(paintedPixels(frame, {30, 40, 30, 30}), 64);
    EXPECT_EQ(frame.pixel(40, 50), Color(250, 0, 0, 255));
    EXPECT_EQ(frame.pixel(47, 57), Color(250, 0, 0, 255));
}

TEST_F(ProjectileTest, BulletCopiesShareThePictureAndOutliveNothing)
{
    Bullet prototype(kBulletPicture, {0, 0}, Bullet::kRight);
    SDL_Texture* picture = prototype.texture().handle();
    ASSERT_NE(picture, nullptr);
    {
        std::vector<Bullet> flying(20, prototype);
        for (const Bullet& bullet : flying)
            EXPECT_EQ(bullet.texture().handle(), picture);
    }
    // The copies are gone; the prototype's picture is still loaded and drawn.
    const Surface file(kBulletPicture, Color{});
    prototype.setPosition({200, 100});
    const Image frame = drawn([&] { prototype.draw(); });
    EXPECT_EQ(mismatches(frame, {200, 100}, file, SDL_FLIP_NONE), 0);
}

// ---------------------------------------------------------------------------------------------------
// Rockets

TEST_F(ProjectileTest, RocketDroppedAtThirtyReachesTheGroundOnItsNinetySecondFall)
{
    Rocket rocket(kRocketPicture, {412, 30});
    EXPECT_EQ(rocket.rect(), Rect(412, 30, 11, 20));
    int falls = 0;
    while (rocket.rect().y <= kGroundLine) {
        rocket.fall();
        ++falls;
        ASSERT_EQ(rocket.position(), rocket.rect().position());
        ASSERT_EQ(rocket.rect().x, 412) << "rockets only fall";
    }
    EXPECT_EQ(falls, 92);
    EXPECT_EQ(rocket.rect(), Rect(412, 582, 11, 20));
}

TEST_F(ProjectileTest, RocketIsDrawnAsItsPictureAndCopiesShareIt)
{
    Rocket prototype(kRocketPicture, {0, 0});
    Rocket rocket = prototype;
    EXPECT_EQ(rocket.texture().handle(), prototype.texture().handle());
    rocket.setPosition({300, 200});
    EXPECT_EQ(prototype.position(), Point(0, 0));

    const Surface file(kRocketPicture, Color{});
    const Image frame = drawn([&] { rocket.draw(); });
    EXPECT_EQ(mismatches(frame, {300, 200}, file, SDL_FLIP_NONE), 0);
    EXPECT_EQ(paintedPixels(frame, {0, 0, 1024, 720}), paintedPixels(frame, {300, 200, 11, 20}));
}

// ---------------------------------------------------------------------------------------------------
// Lasers

// The second boss's rule for its lasers after each step: a bolt below the ground line turns upward,
// keeping its horizontal direction.
void bounceAtTheGround(Laser& laser)
{
    if (laser.rect().y <= kGroundLine)
        return;
    if (laser.direction() == Laser::kDownLeft)
        laser.setDirection(Laser::kUpLeft);
    else if (laser.direction() == Laser::kDownRight)
        laser.setDirection(Laser::kUpRight);
}

TEST_F(ProjectileTest, LaserStepsSixPixelsDiagonally)
{
    Laser prototype(kLaserPicture);
    EXPECT_EQ(prototype.rect(), Rect(0, 0, 16, 16));
    EXPECT_EQ(prototype.direction(), Laser::kDownLeft);
    const std::pair<int32_t, Point> steps[] = {
        {Laser::kUpLeft, {-6, -6}}, {Laser::kUpRight, {6, -6}}, {Laser::kDownLeft, {-6, 6}},
        {Laser::kDownRight, {6, 6}}, {7, {6, -6}}, {-1, {6, -6}}, // unknown directions fly up and right
    };
    for (const auto& [direction, step] : steps) {
        Laser laser = prototype;
        laser.setPosition({500, 300});
        laser.setDirection(direction);
        laser.move();
        EXPECT_EQ(laser.position(), Point(500 + step.x, 300 + step.y)) << "direction " << direction;
        EXPECT_EQ(laser.rect(), Rect(laser.position(), {16, 16}));
    }
}

TEST_F(ProjectileTest, LaserFromTheBossCentrePassesTheGroundOnItsSixtyNinthStepAndTurnsOnce)
{
    Laser laser(kLaserPicture);
    laser.setPosition({739, 167});
    laser.setDirection(Laser::kDownRight);
    int steps = 0;
    int turns = 0;
    int turnedOnStep = 0;
    while (laser.rect().y >= 0) {
        const int32_t before = laser.direction();
        laser.move();
        ++steps;
        bounceAtTheGround(laser);
        if (laser.direction() != before) {
            ++turns;
            turnedOnStep = steps;
            EXPECT_EQ(laser.rect().y, 581);
        }
        ASSERT_LT(steps, 1000);
    }
    EXPECT_EQ(turnedOnStep, 69);
    EXPECT_EQ(turns, 1);
    EXPECT_EQ(laser.direction(), Laser::kUpRight);
    // 69 steps down to 581, then 97 up until the top edge is above the arena.
    EXPECT_EQ(steps, 69 + 97);
    EXPECT_EQ(laser.position(), Point(739 + 6 * steps, -1));
}

TEST_F(ProjectileTest, LaserTurnedUpwardIsNeverTurnedAgainEvenBelowTheGround)
{
    Laser laser(kLaserPicture);
    laser.setPosition({100, 640});
    laser.setDirection(Laser::kDownLeft);
    laser.move();
    bounceAtTheGround(laser);
    EXPECT_EQ(laser.direction(), Laser::kUpLeft);
    for (int step = 0; step < 20; ++step) {
        laser.move();
        bounceAtTheGround(laser);
        EXPECT_EQ(laser.direction(), Laser::kUpLeft);
    }
    EXPECT_EQ(laser.position(), Point(100 - 6 * 21, 646 - 6 * 20));
}

TEST_F(ProjectileTest, LaserLeavingThroughASideFliesOnAndBouncesOutThere)
{
    Laser laser(kLaserPicture);
    laser.setPosition({980, 500});
    laser.setDirection(Laser::kDownRight);
    bool bounced = false;
    while (laser.rect().y >= 0) {
        laser.move();
        bounceAtTheGround(laser);
        bounced = bounced || laser.direction() == Laser::kUpRight;
        if (bounced) {
            EXPECT_GT(laser.rect().x, 1024) << "it bounced outside the arena";
        }
    }
    EXPECT_TRUE(bounced);
    EXPECT_GT(laser.rect().x, 1024);
}

TEST_F(ProjectileTest, LaserPictureIsMirroredTowardItsFlight)
{
    const Surface file(kLaserPicture, Color{});
    ASSERT_GT(opaquePixels(file), 0);
    Laser prototype(kLaserPicture);
    // The picture points down and to the right.
    const std::pair<int32_t, int> looks[] = {
        {Laser::kDownRight, SDL_FLIP_NONE},
        {Laser::kDownLeft, SDL_FLIP_HORIZONTAL},
        {Laser::kUpRight, SDL_FLIP_VERTICAL},
        {Laser::kUpLeft, SDL_FLIP_HORIZONTAL | SDL_FLIP_VERTICAL},
        {9, SDL_FLIP_HORIZONTAL | SDL_FLIP_VERTICAL},
    };
    for (const auto& [direction, flip] : looks) {
        Laser laser = prototype;
        EXPECT_EQ(laser.texture().handle(), prototype.texture().handle());
        laser.setDirection(direction);
        laser.setPosition({64, 32});
        const Image frame = drawn([&] { laser.draw(); });
        EXPECT_EQ(mismatches(frame, {64, 32}, file, flip), 0) << "direction " << direction;
        EXPECT_EQ(paintedPixels(frame, {0, 0, 1024, 720}), opaquePixels(file)) << "direction " << direction;
    }
    // The four looks differ from each other: the picture is not symmetric.
    for (int flip = 1; flip <= 3; ++flip) {
        const Image plain = drawn([&] {
            Laser laser = prototype;
            laser.setDirection(Laser::kDownRight);
            laser.draw();
        });
        EXPECT_GT(mismatches(plain, {0, 0}, file, flip), 0);
    }
}

// ---------------------------------------------------------------------------------------------------
// Fireballs

// How many updates an explosion of the row needs from its first frame to its last.
int burnLength(const Animation& explosion)
{
    return static_cast<int>((explosion.frames().size() - 1) * (explosion.frameTimer().limit() + 1));
}

Fireball loadedFireball(Point at)
{
    Fireball fireball(kFireballPicture, at);
    fireball.setExplosion(kRowExplosion);
    return fireball;
}

TEST_F(ProjectileTest, FireballFromTheBossCentreReachesTheGroundOnItsFiftySecondUpdate)
{
    Fireball fireball = loadedFireball({739, 167});
    EXPECT_EQ(fireball.rect(), Rect(739, 167, 13, 13));
    int updates = 0;
    while (fireball.rect().y <= kGroundLine) {
        fireball.update();
        ++updates;
        ASSERT_EQ(fireball.position(), fireball.rect().position());
    }
    EXPECT_EQ(updates, 52);
    EXPECT_EQ(fireball.rect(), Rect(739, 583, 13, 13));
    EXPECT_FALSE(fireball.isExploding()) << "only the boss tells it to explode";
}

TEST_F(ProjectileTest, FireballRowStandsOnTheFloorUnderTheFireball)
{
    Fireball fireball = loadedFireball({500, 100});
    const std::vector<Animation> loaded = fireball.explosions();
    ASSERT_EQ(loaded.size(), 10u);
    for (const Animation& explosion : loaded) {
        EXPECT_EQ(explosion.rect().position(), Point(500, 560)) << "loaded under the fireball";
        EXPECT_TRUE(explosion.isFirstFrame());
        EXPECT_EQ(explosion.looping(), 0);
    }
    fireball.setPosition({300, 120});
    fireball.update();
    const std::vector<Animation> row = fireball.explosions();
    for (size_t i = 0; i < row.size(); ++i)
        EXPECT_EQ(row[i].rect().position(), Point(300 - 175 + 35 * static_cast<int>(i), 560)) << "explosion " << i;
    EXPECT_EQ(row.front().rect().x, 125);
    EXPECT_EQ(row.back().rect().x, 440);

    // Loading the explosion again appends ten more.
    fireball.setExplosion(kRowExplosion);
    EXPECT_EQ(fireball.row().size(), 20u);
}

TEST_F(ProjectileTest, FireballRowBurnsFromTheMiddleOutwardPairByPair)
{
    Fireball fireball = loadedFireball({500, 100});
    const int burn = burnLength(fireball.row()[0]);
    const int firstFrame = static_cast<int>(fireball.row()[0].frameTimer().limit()) + 1;
    ASSERT_GT(burn, 0);

    // Nothing burns before the fireball is told to explode.
    for (int update = 0; update < 3 * burn; ++update)
        fireball.update();
    for (const Animation& explosion : fireball.row())
        ASSERT_EQ(explosion.frameTimer().count(), 0u);
    ASSERT_FALSE(fireball.explosionStarting());

    fireball.explode();
    EXPECT_TRUE(fireball.explosionStarting());
    // The update in which each explosion leaves its first frame and reaches its last.
    std::vector<int> started(10, 0);
    std::vector<int> burnt(10, 0);
    int doneOn = 0;
    for (int update = 1; doneOn == 0 && update <= 10 * burn; ++update) {
        fireball.update();
        const std::vector<Animation>& row = fireball.row();
        for (size_t i = 0; i < row.size(); ++i) {
            if (started[i] == 0 && !row[i].isFirstFrame())
                started[i] = update;
            if (burnt[i] == 0 && row[i].isLastFrame())
                burnt[i] = update;
        }
        // A pair waits, untouched, until the watched explosion of the pair inside it is on its last frame.
        if (!row[5].isLastFrame()) {
            EXPECT_EQ(row[3].frameTimer().count(), 0u) << "update " << update;
        }
        if (!row[3].isLastFrame()) {
            EXPECT_EQ(row[2].frameTimer().count(), 0u) << "update " << update;
        }
        if (!row[2].isLastFrame()) {
            EXPECT_EQ(row[1].frameTimer().count(), 0u) << "update " << update;
        }
        if (!row[1].isLastFrame()) {
            EXPECT_EQ(row[0].frameTimer().count(), 0u) << "update " << update;
        }
        if (fireball.isDone())
            doneOn = update;
    }
    // The middle pair burns out on update `burn`; the next pair is first advanced in that same update.
    const int pairStart[5] = {1, burn, 2 * burn - 1, 3 * burn - 2, 4 * burn - 3};
    const int pairs[5][2] = {{4, 5}, {3, 6}, {2, 7}, {1, 8}, {0, 9}};
    for (int stage = 0; stage < 5; ++stage) {
        for (int i : pairs[stage]) {
            EXPECT_EQ(started[i], pairStart[stage] + firstFrame - 1) << "explosion " << i;
            EXPECT_EQ(burnt[i], pairStart[stage] + burn - 1) << "explosion " << i;
        }
    }
    EXPECT_EQ(doneOn, burnt[0]);
    EXPECT_EQ(doneOn, 5 * burn - 4);
    // Finished explosions stay on their last frame.
    for (const Animation& explosion : fireball.row())
        EXPECT_TRUE(explosion.isLastFrame());
}

TEST_F(ProjectileTest, FireballBurstIsStartingWhileTheMiddleExplosionIsOnItsFirstFrame)
{
    // Driven as the boss drives it: update, explode below the ground line, count the burst's starts.
    Fireball fireball = loadedFireball({739, 167});
    const int firstFrame = static_cast<int>(fireball.row()[4].frameTimer().limit()) + 1;
    std::vector<int> startingOn;
    for (int update = 1; update <= 80; ++update) {
        fireball.update();
        if (fireball.rect().y > kGroundLine)
            fireball.explode();
        if (fireball.explosionStarting())
            startingOn.push_back(update);
    }
    // The burst starts in the update that passes the ground line and goes on while explosion 4 shows
    // its first frame.
    ASSERT_EQ(static_cast<int>(startingOn.size()), firstFrame);
    for (int k = 0; k < firstFrame; ++k)
        EXPECT_EQ(startingOn[k], 52 + k);
}

TEST_F(ProjectileTest, FireballIsDrawnFallingThenOnlyItsStartedExplosions)
{
    Fireball fireball = loadedFireball({500, 100});
    const Surface picture(kFireballPicture, Color{});
    fireball.update();
    Image frame = drawn([&] { fireball.draw(); });
    EXPECT_EQ(mismatches(frame, {500, 108}, picture, SDL_FLIP_NONE), 0);
    EXPECT_EQ(paintedPixels(frame, {0, 0, 1024, 720}), opaquePixels(picture)) << "the row is not shown";

    // Burning: the middle pair has left its first frame, the pair beside it has not started yet.
    fireball.explode();
    const int firstFrame = static_cast<int>(fireball.row()[4].frameTimer().limit()) + 1;
    for (int update = 0; update < firstFrame; ++update)
        fireball.update();
    const std::vector<Animation>& row = fireball.row();
    ASSERT_FALSE(row[4].isFirstFrame());
    ASSERT_FALSE(row[5].isFirstFrame());
    ASSERT_TRUE(row[3].isFirstFrame());
    ASSERT_TRUE(row[6].isFirstFrame());
    frame = drawn([&] { fireball.draw(); });
    EXPECT_EQ(paintedPixels(frame, fireball.rect()), 0) << "the fireball itself is no longer drawn";
    const int width = row[4].rect().w;
    const int height = row[4].rect().h;
    const Rect middle{row[4].rect().x, 560, row[5].rect().right() - row[4].rect().x, height};
    const int burning = paintedPixels(frame, middle);
    EXPECT_GT(burning, 0);
    EXPECT_EQ(paintedPixels(frame, {0, 0, 1024, 720}), burning) << "nothing outside the middle pair";
    EXPECT_EQ(paintedPixels(frame, {row[3].rect().x, 560, 35, height}), 0);
    EXPECT_EQ(paintedPixels(frame, {row[6].rect().x + width - 35, 560, 35, height}), 0);

    // Each drawn explosion shows exactly what it would draw alone.
    Animation alone = row[4];
    const Image expected = drawn([&] {
        alone.draw();
        Animation right = row[5];
        right.draw();
    });
    EXPECT_EQ(expected.pixels, frame.pixels);
}

TEST_F(ProjectileTest, FireballWithoutARowIsDoneAsSoonAsItBursts)
{
    Fireball fireball(kFireballPicture, {500, 570});
    fireball.update();
    fireball.explode();
    EXPECT_FALSE(fireball.explosionStarting());
    fireball.update();
    EXPECT_TRUE(fireball.isDone());
    const Image frame = drawn([&] { fireball.draw(); });
    EXPECT_EQ(paintedPixels(frame, {0, 0, 1024, 720}), 0);
}

TEST_F(ProjectileTest, FireballCopiesShareThePicturesAndBurnOnTheirOwn)
{
    const Fireball prototype = loadedFireball({500, 100});
    Fireball first = prototype;
    Fireball second = prototype;
    EXPECT_EQ(first.texture().handle(), prototype.texture().handle());
    for (size_t i = 0; i < prototype.row().size(); ++i)
        EXPECT_EQ(first.row()[i].texture().handle(), prototype.row()[i].texture().handle());

    first.explode();
    for (int update = 0; update < burnLength(prototype.row()[0]); ++update) {
        first.update();
        second.update();
    }
    EXPECT_TRUE(first.row()[4].isLastFrame());
    EXPECT_TRUE(second.row()[4].isFirstFrame());
    EXPECT_TRUE(prototype.row()[4].isFirstFrame());
    EXPECT_FALSE(prototype.isExploding());
    EXPECT_EQ(prototype.position(), Point(500, 100));
}

} // namespace
