// The player's bullets and the second boss's lasers and fireballs with their row of explosions, driven
// the way their owners drive them and drawn into the off-screen target to be read back. Their flights
// and bursts through whole games are pinned by the golden traces (test_sim, test_game).

#include "Bullet.h"
#include "Fireball.h"
#include "Laser.h"

#include "Core/Core.h"
#include "Graphics/Animation.h"
#include "Graphics/Surface.h"
#include "support/GamePixels.h"
#include "support/Headless.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr Rect kScreen{0, 0, 1024, 720};

const std::string kBulletPicture = "data/img/bullet.png";
const std::string kLaserPicture = "data/img/laser.png";
const std::string kFireballPicture = "data/img/fireball.png";
const std::string kRowExplosion = "data/img/explosion/explode2.xml";

class ProjectileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { startHeadlessCore(); }
};

// Updates an explosion of the row needs from its first frame to its last.
int burnLength(const Animation& explosion)
{
    return static_cast<int>((explosion.frames().size() - 1) * (explosion.frameTimer().limit() + 1));
}

int firstFrameLength(const Animation& explosion) { return static_cast<int>(explosion.frameTimer().limit()) + 1; }

Fireball loadedFireball(Point at)
{
    Fireball fireball(kFireballPicture, at);
    fireball.setExplosion(kRowExplosion);
    return fireball;
}

TEST_F(ProjectileTest, BulletIsAnEightPixelSquareWhateverItsPicture)
{
    const std::string path = scratchDirectory("bullet") + "/wide.png";
    Surface wide(Size{20, 10});
    wide.fill(Color{250, 0, 0, 255});
    ASSERT_EQ(IMG_SavePNG(wide.handle(), path.c_str()), 0);

    Bullet bullet(path, {40, 50}, Bullet::kRight);
    EXPECT_EQ(bullet.rect(), Rect(40, 50, 8, 8));
    const Image frame = drawnFrame([&] { bullet.draw(); });
    const int squareInk = colorDistance(Color{250, 0, 0, 255}, kBackdrop) * 64;
    EXPECT_EQ(inkIn(frame, {40, 50, 8, 8}), squareInk);
    EXPECT_EQ(inkIn(frame, kScreen), squareInk) << "squeezed into the square, nothing outside it";
}

TEST_F(ProjectileTest, LaserStepsSixPixelsDiagonallyWithItsPictureMirroredTowardItsFlight)
{
    const Surface file(kLaserPicture, Color{});
    const Laser prototype(kLaserPicture);
    EXPECT_EQ(prototype.direction(), Laser::kDownLeft);
    struct Look {
        int32_t direction;
        Point step;
        int flip; // the picture points down and to the right
    };
    const Look looks[] = {{Laser::kDownRight, {6, 6}, SDL_FLIP_NONE}, {Laser::kDownLeft, {-6, 6}, SDL_FLIP_HORIZONTAL},
        {Laser::kUpRight, {6, -6}, SDL_FLIP_VERTICAL},
        {Laser::kUpLeft, {-6, -6}, SDL_FLIP_HORIZONTAL | SDL_FLIP_VERTICAL},
        // Unknown directions fly up and right but are drawn as up and left.
        {7, {6, -6}, SDL_FLIP_HORIZONTAL | SDL_FLIP_VERTICAL}};
    for (const Look& look : looks) {
        SCOPED_TRACE(look.direction);
        Laser laser = prototype;
        laser.setDirection(look.direction);
        laser.setPosition({64, 32});
        const Image frame = drawnFrame([&] { laser.draw(); });
        EXPECT_EQ(pictureMismatches(frame, {64, 32}, file, look.flip), 0);
        EXPECT_EQ(inkIn(frame, kScreen), inkIn(frame, laser.rect()));
        // The picture is not symmetric, so a wrong flip would show.
        EXPECT_GT(pictureMismatches(frame, {64, 32}, file, look.flip ^ SDL_FLIP_HORIZONTAL), 0);
        EXPECT_GT(pictureMismatches(frame, {64, 32}, file, look.flip ^ SDL_FLIP_VERTICAL), 0);
        laser.move();
        EXPECT_EQ(laser.rect(), Rect(Point(64 + look.step.x, 32 + look.step.y), {16, 16}));
    }
}

TEST_F(ProjectileTest, FireballRowStandsOnTheFloorAndBurnsFromTheMiddleOutwardPairByPair)
{
    Fireball fireball = loadedFireball({500, 100});
    ASSERT_EQ(fireball.row().size(), 10u);
    for (const Animation& explosion : fireball.row()) {
        EXPECT_EQ(explosion.rect().position(), Point(500, 560)) << "loaded under the fireball";
        EXPECT_EQ(explosion.looping(), 0);
    }
    const int burn = burnLength(fireball.row()[0]);
    const int firstFrame = firstFrameLength(fireball.row()[0]);
    ASSERT_GT(burn, 0);

    // Nothing burns before the fireball is told to explode; the row follows the fireball.
    fireball.setPosition({300, 120});
    for (int update = 0; update < 3 * burn; ++update)
        fireball.update();
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(fireball.row()[i].rect().position(), Point(125 + 35 * static_cast<int>(i), 560)) << i;
        ASSERT_EQ(fireball.row()[i].frameTimer().count(), 0u);
    }
    ASSERT_FALSE(fireball.explosionStarting());

    fireball.explode();
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
        if (fireball.isDone())
            doneOn = update;
    }
    // Each pair waits until the pair inside it is on its last frame: the middle pair burns out on update
    // `burn`, and the next pair is first advanced in that same update.
    const int pairs[5][2] = {{4, 5}, {3, 6}, {2, 7}, {1, 8}, {0, 9}};
    for (int stage = 0; stage < 5; ++stage) {
        const int pairStart = stage == 0 ? 1 : stage * burn - (stage - 1);
        for (int i : pairs[stage]) {
            EXPECT_EQ(started[i], pairStart + firstFrame - 1) << "explosion " << i;
            EXPECT_EQ(burnt[i], pairStart + burn - 1) << "explosion " << i;
        }
    }
    EXPECT_EQ(doneOn, 5 * burn - 4);
    for (const Animation& explosion : fireball.row())
        EXPECT_TRUE(explosion.isLastFrame()) << "finished explosions stay on their last frame";

    // Loading the explosion again appends ten more.
    fireball.setExplosion(kRowExplosion);
    EXPECT_EQ(fireball.row().size(), 20u);
}

TEST_F(ProjectileTest, FireballIsDrawnFallingThenOnlyItsStartedExplosions)
{
    Fireball fireball = loadedFireball({500, 100});
    const Surface picture(kFireballPicture, Color{});
    fireball.update();
    Image frame = drawnFrame([&] { fireball.draw(); });
    EXPECT_EQ(pictureMismatches(frame, {500, 108}, picture, SDL_FLIP_NONE), 0);
    EXPECT_EQ(inkIn(frame, kScreen), inkIn(frame, fireball.rect())) << "the row is not shown";

    // Burning: the middle pair has left its first frame, the pair beside it has not started yet, and
    // the fireball itself is gone.
    fireball.explode();
    for (int update = 0; update < firstFrameLength(fireball.row()[4]); ++update)
        fireball.update();
    const std::vector<Animation>& row = fireball.row();
    ASSERT_FALSE(row[4].isFirstFrame());
    ASSERT_TRUE(row[3].isFirstFrame());
    frame = drawnFrame([&] { fireball.draw(); });
    const Image expected = drawnFrame([&] {
        Animation left = row[4];
        Animation right = row[5];
        left.draw();
        right.draw();
    });
    EXPECT_GT(inkIn(frame, kScreen), 0);
    EXPECT_EQ(expected.pixels, frame.pixels);
}

} // namespace
