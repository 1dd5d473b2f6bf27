#pragma once

#include <cstdint>

inline constexpr int64_t kNanosecondsPerMillisecond = 1'000'000;
constexpr int64_t milliseconds(int64_t ms) { return ms * kNanosecondsPerMillisecond; }

// A duration counted in frames. tick() is called once per frame and fires on every
// (limit + 1)-th call: at 60 fps, 800 ms gives limit 48, so it fires on every 49th frame.
class FrameTimer {
public:
    FrameTimer() = default;
    // The limit comes from the core's frame rate at this moment.
    explicit FrameTimer(int64_t durationNs);
    FrameTimer(int64_t durationNs, uint32_t fps);

    // limit = duration / frame period (rounded down), at the core's frame rate; count is kept.
    void setDuration(int64_t durationNs);
    void setDuration(int64_t durationNs, uint32_t fps);

    bool tick();
    void reset() { count_ = 0; }

    uint32_t count() const { return count_; }
    uint32_t limit() const { return limit_; }

    // trunc((1 / fps) * 1e9) in nanoseconds: 16 666 666 at 60 fps.
    static int64_t framePeriod(uint32_t fps);

private:
    uint32_t count_ = 0;
    uint32_t limit_ = 0;
};
