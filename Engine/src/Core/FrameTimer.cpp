#include "Core/FrameTimer.h"

#include "Core/Core.h"

FrameTimer::FrameTimer(int64_t durationNs) { setDuration(durationNs); }

FrameTimer::FrameTimer(int64_t durationNs, uint32_t fps) { setDuration(durationNs, fps); }

void FrameTimer::setDuration(int64_t durationNs) { setDuration(durationNs, Core::instance().fps()); }

void FrameTimer::setDuration(int64_t durationNs, uint32_t fps)
{
    limit_ = static_cast<uint32_t>(durationNs / framePeriod(fps));
}

bool FrameTimer::tick()
{
    if (count_ == limit_) {
        count_ = 0;
        return true;
    }
    ++count_;
    return false;
}

int64_t FrameTimer::framePeriod(uint32_t fps)
{
    return static_cast<int64_t>((1.0 / fps) * 1'000'000'000.0);
}
