#include "Core/FramePacer.h"

FramePacer::FramePacer(int64_t period)
    : period_(period)
{
}

bool FramePacer::frameDue(int64_t now)
{
    if (!started_) {
        started_ = true;
        deadline_ = now;
    }
    const int64_t early = period_ / 4;
    if (now < deadline_ - early)
        return false;
    if (now - deadline_ >= period_)
        deadline_ = now;
    deadline_ += period_;
    return true;
}
