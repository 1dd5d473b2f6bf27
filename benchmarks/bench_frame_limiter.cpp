// How closely the frame limiter holds 60 frames per second when frames do no work: the period between
// the ends of successive limitFrameRate(60) calls, measured with the steady clock.
#include "Core/FrameLimiter.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <numeric>
#include <vector>

namespace {

constexpr int kFrames = 300;
constexpr uint32_t kFps = 60;
constexpr double kNominalPeriodNs = 16'666'666.0;

int64_t steadyNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

int main()
{
    // The first call only starts the deadline; it is not a measured frame.
    limitFrameRate(kFps);
    std::vector<int64_t> periods;
    periods.reserve(kFrames);
    int64_t last = steadyNs();
    for (int frame = 0; frame < kFrames; ++frame) {
        limitFrameRate(kFps);
        const int64_t end = steadyNs();
        periods.push_back(end - last);
        last = end;
    }

    const double mean = std::accumulate(periods.begin(), periods.end(), 0.0) / kFrames;
    std::vector<int64_t> sorted = periods;
    std::sort(sorted.begin(), sorted.end());
    // Nearest-rank 99th percentile.
    const size_t rank = static_cast<size_t>((99 * kFrames + 99) / 100) - 1;
    const int64_t p99 = sorted[rank];

    std::printf("frames: %d at %u fps\n", kFrames, kFps);
    std::printf("mean period: %.0f ns\n", mean);
    std::printf("p99 period: %lld ns\n", static_cast<long long>(p99));
    std::printf("min / max period: %lld / %lld ns\n", static_cast<long long>(sorted.front()),
        static_cast<long long>(sorted.back()));
    std::printf("mean deviation from %.0f ns: %+.3f %%\n", kNominalPeriodNs,
        (mean - kNominalPeriodNs) / kNominalPeriodNs * 100.0);
    return 0;
}
