#include "Core/FrameTimer.h"

#include "Core/Core.h"

#include <limits>

FrameTimer::FrameTimer(int64_t durationNs) { setDuration(durationNs); }

FrameTimer::FrameTimer(int64_t durationNs, uint32_t fps) { setDuration(durationNs, fps); }

void FrameTimer::setDuration(int64_t durationNs) { setDuration(durationNs, Core::instance().fps()); }

void FrameTimer::setDuration(int64_t durationNs, uint32_t fps)
{
    const int64_t period = framePeriod(fps);
    // A negative duration or a frame rate without a usable period fires on every frame; a duration
    // longer than the counter can hold waits as long as it can.
    if (durationNs <= 0 || period <= 0) {
        limit_ = 0;
        return;
    }
    const int64_t frames = durationNs / period;
    constexpr int64_t longest = std::numeric_limits<uint32_t>::max();
    limit_ = static_cast<uint32_t>(frames < longest ? frames : longest);
}

bool FrameTimer::tick()
{
    // Reaching the limit fires. A limit lowered under the count by setDuration fires at once rather
    // than after the counter wraps round 2^32 frames later.
    if (count_ >= limit_) {
        count_ = 0;
        return true;
    }
    ++count_;
    return false;
}

int64_t FrameTimer::framePeriod(uint32_t fps)
{
    // Frame rate 0 has no period (1 / 0 would be infinite); above 10^9 fps it truncates to 0 ns.
    if (fps == 0)
        return 0;
    return static_cast<int64_t>((1.0 / fps) * 1'000'000'000.0);
}
