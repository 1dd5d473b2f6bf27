#include "Core/FrameLimiter.h"

#include <chrono>
#include <thread>

namespace {

constexpr double kNanosecondsPerSecond = 1'000'000'000.0;

int64_t wallClockNanoseconds()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
}

// trunc((1 / fps) * 1e9) nanoseconds: 16 666 666 at 60 fps. A rate of 0 sets no limit.
int64_t framePeriodNs(uint32_t fps)
{
    if (fps == 0)
        return 0;
    return static_cast<int64_t>((1.0 / fps) * kNanosecondsPerSecond);
}

} // namespace

int64_t now()
{
    static const int64_t origin = wallClockNanoseconds();
    return wallClockNanoseconds() - origin;
}

void limitFrameRate(uint32_t fps)
{
    static int64_t deadline = now();
    deadline += framePeriodNs(fps);
    const int64_t wait = deadline - now();
    if (wait > 0)
        std::this_thread::sleep_for(std::chrono::nanoseconds(wait));
    // The next frame is measured from this moment: a slow frame is never made up.
    deadline = now();
}
