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
constexpr uint32_t kFps = 60;

// The first numbers after seed(0), from the three shifts and the rotation of x, y = 362436069 and z = 521288629.
constexpr uint32_t kFirst = 362436069u ^ 521288629u; // 176713296: the shifts leave x = 0 unchanged
constexpr uint32_t kSecond = 3542066235u;
constexpr uint32_t kThird = 3071397075u;
constexpr uint32_t kFourth = 3423444878u;

std::string printed(const Color& c)
{
    std::ostringstream out;
    out << c;
    return out.str();
}

// The number of the tick (1-based) on which the timer fires first.
int firstFiring(FrameTimer& timer)
{
    for (int tick = 1; tick < 100000; ++tick)
        if (timer.tick())
            return tick;
    return -1;
}

} // namespace

TEST(Color, NamedTableEmptinessAndTransparencyThreshold)
{
    EXPECT_TRUE(Color().isEmpty());
    EXPECT_FALSE(Color(0, 0, 0, 1).isEmpty());
    EXPECT_EQ(Color(NamedColor::GOLD, 10), Color(255, 218, 0, 10));
    EXPECT_EQ(Color(NamedColor::EMPTY, 255), kEmpty) << "EMPTY stays empty whatever the alpha";
    EXPECT_TRUE(Color(9, 9, 9, 100).isTransparent(100));
    EXPECT_FALSE(Color(9, 9, 9, 101).isTransparent(100));
}

TEST(ColorText, NamesInAnyCaseAndBothHexadecimalForms)
{
    const struct {
        const char* text;
        Color color;
    } cases[] = {{"red", {255, 0, 0, 255}}, {"Red", {255, 0, 0, 255}}, {"RED", {255, 0, 0, 255}},
        {"white", {255, 255, 255, 255}}, {"Black", {0, 0, 0, 255}}, {"green", {0, 255, 0, 255}},
        {"blue", {0, 0, 255, 255}}, {"yellow", {255, 255, 0, 255}}, {"cyan", {0, 255, 255, 255}},
        {"MaGeNtA", {255, 0, 255, 255}}, {"gray", {128, 128, 128, 255}}, {"#ff00FF", {255, 0, 255, 255}},
        {"#102030", {16, 32, 48, 255}}, {"#80ff0000", {255, 0, 0, 128}}, // alpha comes first
        {"#00aAbBcC", {170, 187, 204, 0}}};
    for (const auto& c : cases)
        EXPECT_EQ(Color(std::string(c.text)), c.color) << c.text;
}

TEST(ColorText, EverythingElseIsEmpty)
{
    for (const char* text : {"", "EMPTY", "empty", "#ff00f", "#ff00ff0", "#ff00ff000", "ff00ff00", "ff00ff", "#gg0000",
             "#12345z", "#80ff00 0", " RED", "RED ", "#ff00ff ", "LIGHT_GRAY", "light_gray", "DARK_GREEN", "DARK_RED",
             "GOLD", "orange", "#", "0x80ff0000", "#+f00ff"})
        EXPECT_EQ(Color(std::string(text)), kEmpty) << '"' << text << '"';
}

TEST(Color, StreamFormatAndSdlPixelValues)
{
    EXPECT_EQ(printed(Color(255, 0, 128, 255)), "(r:255 g:0 b:128 a:255 #ff0080) ");
    EXPECT_EQ(printed(Color(10, 171, 5, 7)), "(r:10 g:171 b:5 a:7 #0aab05) ");

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
    // Without an alpha channel SDL reads every pixel back as opaque.
    EXPECT_EQ(Color(c.map(rgb.get()), rgb.get()), Color(255, 0, 128, 255));
}

TEST(Random, ASeedFixesTheSequence)
{
    Random::seed(0);
    EXPECT_EQ(Random::random(), 176713296u);
    EXPECT_EQ(Random::random(), kSecond);
    EXPECT_EQ(Random::random(), kThird);
    EXPECT_EQ(Random::random(), kFourth);

    Random::seed(12345);
    std::vector<uint32_t> first(100);
    for (uint32_t& n : first)
        n = Random::random();
    Random::seed(12345);
    for (std::size_t i = 0; i < first.size(); ++i)
        ASSERT_EQ(Random::random(), first[i]) << "draw " << i;
}

TEST(Random, RandomIntIsTheModuloOfTheNextNumber)
{
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
}

TEST(Random, RandomIntStaysInItsBoundsAndReachesBothEnds)
{
    Random::seed(7);
    for (const auto& [min, max] : {std::pair{300, 600}, {600, 700}, {-10, -5}, {-3, 3}, {0, 1}, {5, 5}}) {
        bool sawMin = false;
        bool sawMax = false;
        for (int i = 0; i < 20000; ++i) {
            const int32_t n = randomInt(min, max);
            ASSERT_GE(n, min);
            ASSERT_LE(n, max);
            sawMin = sawMin || n == min;
            sawMax = sawMax || n == max;
        }
        EXPECT_TRUE(sawMin && sawMax) << min << ".." << max;
    }
}

TEST(FrameTimer, LimitsOfTheGamesDurations)
{
    EXPECT_EQ(FrameTimer::framePeriod(60), 16'666'666);
    EXPECT_EQ(FrameTimer::framePeriod(0), 0);
    for (const auto& [ms, limit] : {std::pair<int64_t, uint32_t>{25, 1}, {30, 1}, {150, 9}, {600, 36}, {800, 48},
             {1500, 90}, {4000, 240}, {16, 0}, {17, 1}, {100, 6}, {-100, 0}})
        EXPECT_EQ(FrameTimer(milliseconds(ms), kFps).limit(), limit) << ms << " ms";
    EXPECT_EQ(FrameTimer(milliseconds(100), 0).limit(), 0u) << "frame rate 0 has no period";
    EXPECT_EQ(FrameTimer(INT64_MAX, kFps).limit(), UINT32_MAX) << "longer than the counter holds";
}

TEST(FrameTimer, FiresOnEveryLimitPlusOnethTick)
{
    FrameTimer timer(milliseconds(800), kFps); // limit 48
    EXPECT_EQ(firstFiring(timer), 49);
    EXPECT_EQ(timer.count(), 0u);
    EXPECT_EQ(firstFiring(timer), 49);

    FrameTimer quick(milliseconds(25), kFps); // limit 1
    EXPECT_EQ(firstFiring(quick), 2);
    EXPECT_EQ(firstFiring(quick), 2);

    FrameTimer everyFrame;
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(everyFrame.tick());

    FrameTimer reset(milliseconds(150), kFps); // limit 9
    for (int i = 0; i < 5; ++i)
        reset.tick();
    reset.reset();
    EXPECT_EQ(firstFiring(reset), 10) << "reset keeps the limit";
}

TEST(FrameTimer, ANewDurationKeepsTheCount)
{
    FrameTimer timer(milliseconds(1500), kFps);
    for (int i = 0; i < 30; ++i)
        ASSERT_FALSE(timer.tick());
    timer.setDuration(milliseconds(600), kFps);
    EXPECT_EQ(timer.count(), 30u);
    EXPECT_EQ(firstFiring(timer), 7) << "counts on from 30 to 36, fires on the next tick";

    // Shortened below the count: fires on the next tick, not after the counter wraps round.
    for (int i = 0; i < 10; ++i)
        timer.tick();
    timer.setDuration(milliseconds(25), kFps);
    EXPECT_TRUE(timer.tick());
    EXPECT_FALSE(timer.tick());
    EXPECT_TRUE(timer.tick());
}
