// Update cost of the busiest scene: the second boss in its second stage with lasers and fireballs in
// play and the player running and firing. Only updateFrame(world) is timed; reaching the scene, the
// input poll and the restarts are not. Bar: at most 50 microseconds a frame.
#include "BenchSupport.h"
#include "BusyScene.h"

#include "Core/Core.h"
#include "Fight/World.h"
#include "Frame/GameFrame.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kRounds = 5;
constexpr size_t kFramesPerRound = 4000;
// A stretch of the scene is cut off here even if the player survives, so every round sees fresh fights.
constexpr int kStretchLimit = 1500;
constexpr double kBarUs = 50.0;

struct Round {
    std::vector<double> costsUs;
    double bullets = 0;
    double lasers = 0;
    double fireballs = 0;
};

Round measureRound(World& world, BusyScene& scene)
{
    Round round;
    round.costsUs.reserve(kFramesPerRound);
    while (round.costsUs.size() < kFramesPerRound) {
        scene.setUp();
        for (int frame = 0; frame < kStretchLimit && scene.isBusy() && round.costsUs.size() < kFramesPerRound;
             ++frame) {
            scene.steer();
            Core::instance().input().pollEvents();
            const int64_t start = steadyNs();
            updateFrame(world);
            const int64_t end = steadyNs();
            round.costsUs.push_back(static_cast<double>(end - start) / 1000.0);
            round.bullets += static_cast<double>(world.player.getBullets().size());
            round.lasers += static_cast<double>(world.boss02.lasers().size());
            round.fireballs += static_cast<double>(world.boss02.fireballs().size());
        }
    }
    const auto n = static_cast<double>(round.costsUs.size());
    round.bullets /= n;
    round.lasers /= n;
    round.fireballs /= n;
    return round;
}

} // namespace

int main()
{
    startGameCore();
    auto world = std::make_unique<World>();
    BusyScene scene(*world);

    std::printf("bench_update: updateFrame(world) in the second boss's second stage, %d rounds of %zu frames\n",
        kRounds, kFramesPerRound);
    std::vector<double> roundMeans;
    std::vector<double> all;
    for (int r = 0; r < kRounds; ++r) {
        const Round round = measureRound(*world, scene);
        const Summary s = summarize(round.costsUs);
        roundMeans.push_back(s.mean);
        all.insert(all.end(), round.costsUs.begin(), round.costsUs.end());
        std::printf("  round %d: mean %.2f us, median %.2f us, p99 %.2f us, max %.1f us; in play on average: "
                    "%.1f bullets, %.1f lasers, %.1f fireballs\n",
            r + 1, s.mean, s.median, s.p99, s.max, round.bullets, round.lasers, round.fireballs);
    }
    const Summary rounds = summarize(roundMeans);
    const Summary frames = summarize(all);
    std::printf("all %zu frames: mean %.2f us, median %.2f us, p99 %.2f us (set-up played %ld untimed frames)\n",
        frames.count, frames.mean, frames.median, frames.p99, scene.setUpFrames());
    std::printf("update cost per frame (median of the round means): %.2f us, best round %.2f us; bar %.0f us: %s\n",
        rounds.median, rounds.min, kBarUs, verdict(rounds.median <= kBarUs));
    world.reset();
    return 0;
}
