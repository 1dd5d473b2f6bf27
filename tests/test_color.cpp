// Small values of the engine: colours and their text, the seeded generator, durations counted in frames.
#include "Core/FrameTimer.h"
#include "Graphics/Color.h"
#include "Math/Random.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <climits>
#include <memory>
#include <sstream>
#include <vector>

namespace {

constexpr Color kEmpty(0, 0, 0, 0);
// The first numbers after seed(0), from the three shifts and the rotation of x, y = 362436069 and z = 521288629.
constexpr uint32_t kFirst = 362436069u ^ 521288629u; // 176713296: the shifts leave x = 0 unchanged
constexpr uint32_t kSecond = 3542066235u;
constexpr uint32_t kThird = 3071397075u;

// The number of the tick (1-based) on which the timer fires first.
int firstFiring(FrameTimer& timer)
{
    for (int tick = 1; tick < 100000; ++tick)
        if (timer.tick())
            return tick;
    return -1;
}

} // namespace

TEST(Color, EmptinessNamedColoursAndTheTransparencyThreshold)
{
    // Colour texts are in the table of test_values.
    EXPECT_TRUE(Color().isEmpty());
    EXPECT_FALSE(Color(0, 0, 0, 1).isEmpty());
    EXPECT_EQ(Color(NamedColor::GOLD, 10), Color(255, 218, 0, 10));
    EXPECT_EQ(Color(NamedColor::EMPTY, 255), kEmpty) << "EMPTY stays empty whatever the alpha";
    EXPECT_TRUE(Color(9, 9, 9, 100).isTransparent(100));
    EXPECT_FALSE(Color(9, 9, 9, 101).isTransparent(100));
}

TEST(Color, StreamFormatAndSdlPixelValues)
{
    std::ostringstream out;
    out << Color(255, 0, 128, 255) << Color(10, 171, 5, 7);
    EXPECT_EQ(out.str(), "(r:255 g:0 b:128 a:255 #ff0080) (r:10 g:171 b:5 a:7 #0aab05) ");
    using PixelFormat = std::unique_ptr<SDL_PixelFormat, decltype(&SDL_FreeFormat)>;
    const PixelFormat argb(SDL_AllocFormat(SDL_PIXELFORMAT_ARGB8888), &SDL_FreeFormat);
    const PixelFormat rgba(SDL_AllocFormat(SDL_PIXELFORMAT_RGBA8888), &SDL_FreeFormat);
    const PixelFormat rgb(SDL_AllocFormat(SDL_PIXELFORMAT_RGB888), &SDL_FreeFormat);
    ASSERT_TRUE(argb && rgba && rgb) << SDL_GetError();
    const Color c(255, 0, 128, 200);
    EXPECT_EQ(c.map(argb.get()), 0xC8FF0080u);
    EXPECT_EQ(Color(0xC8FF0080u, argb.get()), c);
    EXPECT_EQ(c.map(rgba.get()), 0xFF0080C8u);
    EXPECT_EQ(Color(c.map(rgba.get()), rgba.get()), c);
    EXPECT_EQ(Color(c.map(rgb.get()), rgb.get()), Color(255, 0, 128, 255)) << "no alpha channel reads opaque";
}

TEST(Random, ASeedFixesTheSequenceAndRandomIntIsTheModuloOfTheNextNumber)
{
    Random::seed(0);
    const uint32_t sequence[] = {kFirst, kSecond, kThird, 3423444878u};
    for (uint32_t n : sequence)
        EXPECT_EQ(Random::random(), n);
    Random::seed(0);
    EXPECT_EQ(randomInt(300, 600), static_cast<int32_t>(kFirst % 301 + 300)); // 409
    EXPECT_EQ(randomInt(-10, -5), -7) << "negative ranges by wrap-around: 3542066235 % 6 = 3";
    // max - min + 1 wraps to 0 for the full range: the number is returned whole instead of dividing by zero.
    Random::seed(0);
    EXPECT_EQ(randomInt(INT32_MIN, INT32_MAX), static_cast<int32_t>(kFirst));
    EXPECT_EQ(randomInt(-8, -8), -8);
    // Random colours take the low bytes of three numbers in order; randomize keeps the alpha.
    Random::seed(0);
    EXPECT_EQ(Color::random(), Color(kFirst & 0xFF, kSecond & 0xFF, kThird & 0xFF, 255));
    Random::seed(0);
    Color c(1, 2, 3, 77);
    c.randomize();
    EXPECT_EQ(c, Color(80, 59, 211, 77));

    Random::seed(7);
    for (const auto& [min, max] : {std::pair{300, 600}, {-10, -5}, {-3, 3}, {0, 1}, {5, 5}}) {
        bool sawMin = false;
        bool sawMax = false;
        for (int i = 0; i < 20000; ++i) {
            const int32_t n = randomInt(min, max);
            ASSERT_TRUE(n >= min && n <= max) << n;
            sawMin = sawMin || n == min;
            sawMax = sawMax || n == max;
        }
        EXPECT_TRUE(sawMin && sawMax) << min << ".." << max;
    }
}

TEST(FrameTimer, LimitsOfTheGamesDurationsAndFiringOnEveryLimitPlusOnethTick)
{
    EXPECT_EQ(FrameTimer::framePeriod(60), 16'666'666);
    EXPECT_EQ(FrameTimer::framePeriod(0), 0);
    // Limits of the game's durations are in the table of test_values.
    EXPECT_EQ(FrameTimer(INT64_MAX, 60).limit(), UINT32_MAX) << "longer than the counter holds";

    FrameTimer timer(milliseconds(800), 60); // limit 48
    EXPECT_EQ(firstFiring(timer), 49);
    EXPECT_EQ(timer.count(), 0u);
    EXPECT_EQ(firstFiring(timer), 49);
    FrameTimer everyFrame;
    EXPECT_TRUE(everyFrame.tick() && everyFrame.tick());
    FrameTimer reset(milliseconds(150), 60); // limit 9
    for (int i = 0; i < 5; ++i)
        reset.tick();
    reset.reset();
    EXPECT_EQ(firstFiring(reset), 10) << "reset keeps the limit";

    // A new duration keeps the count; shortened below it, the timer fires on the next tick, not after the
    // counter wraps round.
    FrameTimer changed(milliseconds(1500), 60);
    for (int i = 0; i < 30; ++i)
        ASSERT_FALSE(changed.tick());
    changed.setDuration(milliseconds(600), 60);
    EXPECT_EQ(changed.count(), 30u);
    EXPECT_EQ(firstFiring(changed), 7) << "counts on from 30 to 36, fires on the next tick";
    for (int i = 0; i < 10; ++i)
        changed.tick();
    changed.setDuration(milliseconds(25), 60);
    EXPECT_TRUE(changed.tick());
    EXPECT_FALSE(changed.tick());
    EXPECT_TRUE(changed.tick());
}
