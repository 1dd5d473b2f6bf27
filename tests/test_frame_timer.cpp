// Durations counted in frames: at 60 fps a frame lasts 16 666 666 ns.
#include "Core/FrameTimer.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kFps = 60;

// The number of the tick (1-based) on which the timer fires first.
int firstFiring(FrameTimer& timer)
{
    for (int tick = 1; tick < 100000; ++tick) {
        if (timer.tick())
            return tick;
    }
    return -1;
}

} // namespace

TEST(FrameTimer, FramePeriodAtSixtyFps)
{
    EXPECT_EQ(FrameTimer::framePeriod(60), 16'666'666);
    EXPECT_EQ(FrameTimer::framePeriod(30), 33'333'333);
}

TEST(FrameTimer, LimitsOfTheGamesDurations)
{
    struct Case {
        int64_t ms;
        uint32_t limit;
    };
    for (const Case c : {Case{25, 1}, Case{30, 1}, Case{150, 9}, Case{600, 36}, Case{800, 48}, Case{1500, 90},
             Case{4000, 240}, Case{16, 0}, Case{17, 1}, Case{100, 6}}) {
        const FrameTimer timer(milliseconds(c.ms), kFps);
        EXPECT_EQ(timer.limit(), c.limit) << c.ms << " ms";
        EXPECT_EQ(timer.count(), 0u);
    }
}

TEST(FrameTimer, FiresOnEveryLimitPlusOnethTick)
{
    FrameTimer timer(milliseconds(800), kFps); // limit 48
    EXPECT_EQ(firstFiring(timer), 49);
    EXPECT_EQ(timer.count(), 0u);
    EXPECT_EQ(firstFiring(timer), 49);

    FrameTimer quick(milliseconds(25), kFps); // limit 1
    EXPECT_FALSE(quick.tick());
    EXPECT_TRUE(quick.tick());
    EXPECT_FALSE(quick.tick());
    EXPECT_TRUE(quick.tick());
}

TEST(FrameTimer, ZeroLimitFiresEveryFrame)
{
    FrameTimer timer;
    EXPECT_EQ(timer.limit(), 0u);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(timer.tick());
}

TEST(FrameTimer, ResetKeepsTheLimit)
{
    FrameTimer timer(milliseconds(150), kFps); // limit 9
    for (int i = 0; i < 5; ++i)
        ASSERT_FALSE(timer.tick());
    EXPECT_EQ(timer.count(), 5u);
    timer.reset();
    EXPECT_EQ(timer.count(), 0u);
    EXPECT_EQ(timer.limit(), 9u);
    EXPECT_EQ(firstFiring(timer), 10);
}

TEST(FrameTimer, SetDurationKeepsTheCount)
{
    FrameTimer timer(milliseconds(1500), kFps);
    for (int i = 0; i < 30; ++i)
        ASSERT_FALSE(timer.tick());
    timer.setDuration(milliseconds(600), kFps);
    EXPECT_EQ(timer.limit(), 36u);
    EXPECT_EQ(timer.count(), 30u);
    EXPECT_EQ(firstFiring(timer), 7) << "counts on from 30 to 36, fires on the next tick";
}

TEST(FrameTimer, ShortenedBelowTheCountFiresOnTheNextTick)
{
    FrameTimer timer(milliseconds(800), kFps);
    for (int i = 0; i < 10; ++i)
        ASSERT_FALSE(timer.tick());
    timer.setDuration(milliseconds(25), kFps);
    EXPECT_EQ(timer.count(), 10u);
    EXPECT_TRUE(timer.tick()) << "not after the counter wraps round";
    EXPECT_EQ(timer.count(), 0u);
    EXPECT_FALSE(timer.tick());
    EXPECT_TRUE(timer.tick());
}

TEST(FrameTimer, NonsenseInputsGiveAnEveryFrameTimer)
{
    EXPECT_EQ(FrameTimer(milliseconds(-100), kFps).limit(), 0u);
    EXPECT_EQ(FrameTimer(milliseconds(100), 0).limit(), 0u) << "frame rate 0 has no period";
    EXPECT_EQ(FrameTimer::framePeriod(0), 0);
    EXPECT_EQ(FrameTimer(INT64_MAX, kFps).limit(), UINT32_MAX) << "longer than the counter holds";
}
