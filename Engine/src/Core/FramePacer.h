#pragma once

#include <cstdint>

// Paces frames that a caller it does not control calls for, such as a browser's animation callback,
// which comes at the display's refresh rate (60, 120, 144 Hz or anything else): each call says whether
// one frame is due, so that the game runs one update per frame period and never two in one call. The
// deadline moves on by exactly one period per frame, so the rate is the period's over any stretch of
// time; a call up to a quarter period early still counts (the callback's times jitter around the
// display's beat). A pacer more than a period behind (a slow frame, a hidden page) starts again from the
// call: a late frame is never made up.
class FramePacer {
public:
    // The period in nanoseconds, as FrameTimer::framePeriod gives it.
    explicit FramePacer(int64_t period);

    // Whether a frame runs at this call; `now` in nanoseconds of a monotonic clock.
    bool frameDue(int64_t now);

private:
    int64_t period_;
    int64_t deadline_ = 0;
    bool started_ = false;
};
