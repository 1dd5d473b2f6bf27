#include "BenchSupport.h"

#include "Core/Core.h"
#include "Fight/World.h"

#include <SDL_hints.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <unistd.h>

int64_t steadyNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

Summary summarize(std::vector<double> samples)
{
    Summary summary;
    if (samples.empty())
        return summary;
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    const auto rank = [&](double percent) {
        const auto r = static_cast<size_t>(std::ceil(percent / 100.0 * static_cast<double>(n)));
        return samples[std::clamp<size_t>(r, 1, n) - 1];
    };
    summary.count = n;
    summary.mean = std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(n);
    summary.median = n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2.0;
    summary.p99 = rank(99.0);
    summary.min = samples.front();
    summary.max = samples.back();
    return summary;
}

const char* verdict(bool met) { return met ? "met" : "NOT met"; }

void prepareHeadlessProcess()
{
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    // The build tree's working directory links the repository's data/; the game reads data/ and
    // writes userData/ relative to the current directory.
    if (chdir(DUELFALL_BENCH_WORKDIR) != 0) {
        std::perror("benchmark working directory " DUELFALL_BENCH_WORKDIR);
        std::exit(2);
    }
}

void startGameCore()
{
    prepareHeadlessProcess();
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "best");
    Core::instance().init(kTitle, kLogicalSize, true);
}
