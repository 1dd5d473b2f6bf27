// A whole frame of the game (Core::runFrame: poll, update, draw into the target, stretch, present) in
// its busiest scene, against a bare SDL loop on the same kind of renderer that only draws the
// background picture into a 1024 x 720 target and stretches it to the window. Both run in this one
// process, in alternating blocks, so that they share whatever else the machine is doing.
// Bar: the game's frame costs at most 1.3 times the bare frame.
#include "BareLoop.h"
#include "BenchSupport.h"
#include "BusyScene.h"

#include "Core/Core.h"
#include "Fight/World.h"
#include "Graphics/Renderer.h"

#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kRounds = 8;
constexpr int kBlockFrames = 40;
constexpr int kWarmUpFrames = 30;
constexpr double kBarRatio = 1.3;

// The renderer queues its work and a present may return before the picture is made, so single frames
// cannot be timed: a block of frames is timed up to a read-back of one pixel, which waits for all of it.
struct Block {
    double wallMs = 0; // per frame
    double cpuMs = 0; // per frame, all threads of the process (the renderer rasterises on several)
};

double processCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

// The wall-clock nanoseconds that the frames report as not theirs (setting the scene up again) are
// left out; that work draws nothing, so it leaves nothing queued in the renderer either.
Block timeBlock(const std::function<int64_t()>& frame, const std::function<void()>& finish)
{
    const int64_t start = steadyNs();
    const double cpuStart = processCpuNs();
    int64_t excluded = 0;
    for (int i = 0; i < kBlockFrames; ++i)
        excluded += frame();
    finish();
    const double wallNs = static_cast<double>(steadyNs() - start - excluded);
    const double cpuNs = processCpuNs() - cpuStart - static_cast<double>(excluded);
    return {wallNs / 1e6 / kBlockFrames, cpuNs / 1e6 / kBlockFrames};
}

} // namespace

int main()
{
    auto world = startGame();
    Core& core = Core::instance();
    BusyScene scene(*world);
    scene.setUp();

    BareLoop bare;
    bare.loadBackground("data/img/bg.png");
    bare.show();

    // The scene is set up again, untimed, whenever the player or the boss has died.
    const auto gameFrame = [&]() -> int64_t {
        int64_t setUpNs = 0;
        if (!scene.isBusy()) {
            const int64_t start = steadyNs();
            scene.setUp();
            setUpNs = steadyNs() - start;
        }
        scene.steer();
        core.runFrame();
        return setUpNs;
    };
    const auto bareFrame = [&]() -> int64_t {
        bare.runFrame();
        return 0;
    };

    const auto gameFinish = [&] { core.renderer().readPixels(Rect{0, 0, 1, 1}); };
    const auto bareFinish = [&] { bare.readOnePixel(); };

    for (int i = 0; i < kWarmUpFrames; ++i) {
        gameFrame();
        bareFrame();
    }
    gameFinish();
    bareFinish();
    std::vector<double> gameWall, gameCpu, bareWall, bareCpu, wallRatios, cpuRatios;
    for (int round = 0; round < kRounds; ++round) {
        Block game;
        Block peer;
        // Which goes first alternates, so neither always follows the other's leftovers.
        if (round % 2 == 0) {
            game = timeBlock(gameFrame, gameFinish);
            peer = timeBlock(bareFrame, bareFinish);
        } else {
            peer = timeBlock(bareFrame, bareFinish);
            game = timeBlock(gameFrame, gameFinish);
        }
        gameWall.push_back(game.wallMs);
        gameCpu.push_back(game.cpuMs);
        bareWall.push_back(peer.wallMs);
        bareCpu.push_back(peer.cpuMs);
        wallRatios.push_back(game.wallMs / peer.wallMs);
        cpuRatios.push_back(game.cpuMs / peer.cpuMs);
    }

    const Summary wr = summarize(wallRatios);
    const Summary cr = summarize(cpuRatios);
    std::printf("bench_frame: renderer \"%s\" (game) and \"%s\" (bare loop); %d rounds of a %d-frame block each\n",
        core.renderer().name().c_str(), bare.rendererName().c_str(), kRounds, kBlockFrames);
    std::printf(
        "  game frame (Core::runFrame, second boss, second stage): wall %.2f ms (best block %.2f), cpu %.2f ms\n",
        summarize(gameWall).median, summarize(gameWall).min, summarize(gameCpu).median);
    std::printf(
        "  bare SDL frame (background into the target, stretched): wall %.2f ms (best block %.2f), cpu %.2f ms\n",
        summarize(bareWall).median, summarize(bareWall).min, summarize(bareCpu).median);
    std::printf("  per-round ratios, wall: median %.3f (%.3f .. %.3f); cpu: median %.3f (%.3f .. %.3f)\n", wr.median,
        wr.min, wr.max, cr.median, cr.min, cr.max);
    std::printf("whole frame / bare frame (median of the round ratios, wall clock): %.3f; bar %.1f: %s\n", wr.median,
        kBarRatio, verdict(wr.median <= kBarRatio));
    world.reset();
    return 0;
}
