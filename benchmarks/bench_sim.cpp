// The simulator's cost of a whole frame (Core::runFrame: poll, update, draw into the target, copy to the
// window, present) on its headless fast path (chooseHeadlessRendering: SDL's software renderer drawing
// into the window's memory), in the two scenes that bound it:
//  - the autopilot's fight: seed 5, 1200 frames, the autopilot deciding every frame (its decision is
//    timed too: it is part of what the simulator does each frame);
//  - the game-over screen: the player left standing until the game is over, then 600 frames of the
//    overlay (the frames before it are played but not timed).
// Each scene is run kRounds times in this one process; a round reports its mean per frame (wall clock
// and this thread's CPU time). Bars: 0.6 ms a frame in the fight, 1.0 ms on the game-over screen, on one
// core. Run it pinned to one core (taskset -c 1) on an idle machine for the figures.
#include "Autopilot.h"
#include "BenchSupport.h"

#include "Core/Core.h"
#include "Core/HeadlessRendering.h"
#include "Fight/World.h"
#include "Frame/GameFrame.h"
#include "Graphics/Renderer.h"
#include "Math/Random.h"

#include <SDL_hints.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

constexpr int kRounds = 5;
constexpr int kFightFrames = 1200;
constexpr uint32_t kFightSeed = 5;
constexpr int kGameOverFrames = 600;
constexpr long kGameOverWithin = 30000; // frames the standing player is given to lose
constexpr double kFightBarMs = 0.6;
constexpr double kGameOverBarMs = 1.0;

double threadCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

struct Round {
    double wallMs = 0; // per frame
    double cpuMs = 0; // per frame
};

// A fresh world as the simulator builds it, its frame callables the global scene.
std::unique_ptr<World> freshWorld(uint32_t seed)
{
    Random::seed(seed);
    auto world = std::make_unique<World>();
    Core::instance().scenes().setGlobalScene(makeScene(*world));
    return world;
}

// Runs `frames` frames, each after `keys` has scripted its keyboard, and times them all.
template <typename Keys> Round timeFrames(int frames, Keys keys)
{
    Core& core = Core::instance();
    double wallNs = 0;
    double cpuNs = 0;
    for (int i = 0; i < frames; ++i) {
        const int64_t start = steadyNs();
        const double cpuStart = threadCpuNs();
        keys();
        core.runFrame();
        cpuNs += threadCpuNs() - cpuStart;
        wallNs += static_cast<double>(steadyNs() - start);
    }
    return {wallNs / 1e6 / frames, cpuNs / 1e6 / frames};
}

Round fightRound()
{
    auto world = freshWorld(kFightSeed);
    Autopilot autopilot;
    Keyboard& keyboard = Core::keyboard();
    const Round round = timeFrames(kFightFrames, [&] { keyboard.setScript(autopilot.decide(*world)); });
    Core::instance().scenes().setGlobalScene(Scene());
    return round;
}

// Returns false if the player did not lose in time.
bool gameOverRound(Round& round)
{
    auto world = freshWorld(kFightSeed);
    Keyboard& keyboard = Core::keyboard();
    keyboard.setScript({});
    Core& core = Core::instance();
    for (long frame = 0; !world->player.isFinished(); ++frame) {
        if (frame == kGameOverWithin)
            return false;
        core.runFrame();
    }
    round = timeFrames(kGameOverFrames, [] {});
    const bool stillOver = world->player.isFinished();
    core.scenes().setGlobalScene(Scene());
    return stillOver;
}

void report(const char* scene, const std::vector<Round>& rounds, double barMs)
{
    std::vector<double> wall;
    std::vector<double> cpu;
    for (const Round& r : rounds) {
        wall.push_back(r.wallMs);
        cpu.push_back(r.cpuMs);
        std::printf("  %-10s round: %.3f ms wall, %.3f ms CPU a frame\n", scene, r.wallMs, r.cpuMs);
    }
    const Summary w = summarize(wall);
    const Summary c = summarize(cpu);
    std::printf("%-10s median of %zu rounds: %.3f ms wall (best %.3f), %.3f ms CPU (best %.3f); bar %.1f ms: %s\n",
        scene, w.count, w.median, w.min, c.median, c.min, barMs, verdict(w.median <= barMs));
}

} // namespace

int main()
{
    prepareHeadlessProcess();
    chooseHeadlessRendering();
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "best");
    Core& core = Core::instance();
    core.init(kTitle, kLogicalSize, true);
    std::printf("renderer: %s\n", core.renderer().name().c_str());

    std::vector<Round> fight;
    std::vector<Round> gameOver;
    for (int i = 0; i < kRounds; ++i) {
        fight.push_back(fightRound());
        Round round;
        if (!gameOverRound(round)) {
            std::fprintf(stderr, "bench_sim: the standing player did not lose within %ld frames\n", kGameOverWithin);
            return 1;
        }
        gameOver.push_back(round);
    }
    report("fight", fight, kFightBarMs);
    report("game over", gameOver, kGameOverBarMs);
    return 0;
}
