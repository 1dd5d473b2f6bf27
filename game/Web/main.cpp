// Duelfall in a web browser: the game as its window runs it, every fight recorded, in the page's canvas,
// with the frame driven by the page. Given the simulator's options by the page (--autopilot, --seed,
// --until, --frames, --realtime), the simulator's bot plays instead of the keyboard, as fast as the page
// allows (or at 60 frames a second with --realtime), and the run ends with the simulator's summary line
// and a line of the frame times on the browser's console.

#include "Autopilot.h"
#include "RunSummary.h"
#include "SimOptions.h"

#include "Core/BrowserLoop.h"
#include "System/UserDataStorage.h"
#include "Core/Core.h"
#include "Fight/World.h"
#include "Math/Random.h"
#include "Shell/GameIcon.h"
#include "Shell/GameSession.h"
#include "System/GameDirectories.h"
#include "System/SystemInfo.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kUsageError = 2;
constexpr const char* kGameName = "duelfall";
// The page's storage is brought up to date at least this often while a fight goes on (in frames: ten
// seconds), as the replay is.
constexpr long kPersistEveryFrames = 600;

// Options a page can give: the ones that read or write files of the player's machine cannot be had.
SimOptions readOptions(int argc, char* argv[])
{
    SimOptions options = parseSimOptions(argc, argv);
    if (!options.inputPath.empty() || !options.replayPath.empty() || !options.recordPath.empty()
        || !options.tracePath.empty() || !options.shots.empty())
        throw std::runtime_error("a page takes only --autopilot, --lose, --seed, --frames, --until and --realtime");
    return options;
}

// The median and the 99th percentile of the frames' work, in milliseconds, and the frames a second from
// the first frame's start to the last one's end, as one JSON line.
std::string frameTimesJson(std::vector<double> milliseconds, bool paced, double seconds)
{
    std::sort(milliseconds.begin(), milliseconds.end());
    const auto at = [&](double fraction) {
        return milliseconds.empty() ? 0.0 : milliseconds[static_cast<size_t>(fraction * (milliseconds.size() - 1))];
    };
    char line[200];
    std::snprintf(line, sizeof line,
        "{\"frame_ms_median\":%.3f,\"frame_ms_p99\":%.3f,\"frames\":%zu,\"fps\":%.2f,\"paced\":%s}", at(0.5), at(0.99),
        milliseconds.size(), seconds > 0 ? milliseconds.size() / seconds : 0.0, paced ? "true" : "false");
    return line;
}

// The state that decides when userData/ goes to the page's storage: at each game over and victory, as
// the replay is written then, and every ten seconds of play.
struct PersistPoint {
    bool over = false;
    long frames = 0;

    bool due(const World& world)
    {
        const bool nowOver = world.player.isFinished() || world.boss02.isFinished();
        const bool changed = nowOver != over;
        over = nowOver;
        return changed || ++frames % kPersistEveryFrames == 0;
    }
};

} // namespace

int main(int argc, char* argv[])
{
    SimOptions options;
    try {
        options = readOptions(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << "duelfall: " << error.what() << '\n';
        return kUsageError;
    }

    settleGameDirectories(kGameName);
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "best");
    Core& core = Core::instance();
    // Drawn straight into the canvas, which holds the game's own 1024 x 720 picture (the browser scales
    // it to the page): no off-screen target, whose every switch is a round trip in WebGL that makes the
    // frame wait for all the drawing before it (about 45 ms a frame here, against well under 1 ms).
    core.init(kTitle, kLogicalSize, false);
    showGameIcon(core.window());
    if (options.seed)
        Random::seed(static_cast<uint32_t>(*options.seed));

    // Alive as long as the page: the browser's loop calls back into them after main has left.
    static World world;
    static GameSession session(world, std::nullopt);
    core.scenes().setGlobalScene(session.scene());
    writeSystemInfoReport();
    // A page has no files to open: the machine's report goes to the console.
    std::cout << systemInfoReport() << std::flush;

    static Autopilot autopilot(static_cast<int>(std::min<long>(options.loseFights, 1000)));
    static RunSummary summary;
    static std::vector<double> frameTimes;
    static PersistPoint persist;
    static std::chrono::steady_clock::time_point frameStart;
    static std::chrono::steady_clock::time_point firstFrameStart;

    BrowserLoop loop;
    loop.unpaced = options.autopilot && !options.realtime;
    loop.beforeFrame = [bot = options.autopilot] {
        if (bot)
            Core::keyboard().setScript(autopilot.decide(world));
        frameStart = std::chrono::steady_clock::now();
        if (frameTimes.empty())
            firstFrameStart = frameStart;
    };
    loop.afterFrame = [options] {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - frameStart).count();
        if (persist.due(world))
            persistUserData();
        if (!options.autopilot)
            return;
        summary.frameDone(world, seconds);
        frameTimes.push_back(1000.0 * seconds);
        const bool ended = options.until.empty() ? summary.frames() >= options.frames
                                                 : summary.reached(options.until, options.untilDelay);
        if (ended || summary.frames() >= options.frames)
            Core::instance().input().stop();
    };
    loop.finish = [options] {
        const int status = session.finish();
        persistUserData();
        if (options.autopilot) {
            const std::chrono::duration<double> played = std::chrono::steady_clock::now() - firstFrameStart;
            std::cout << frameTimesJson(frameTimes, options.realtime, played.count()) << '\n';
            std::cout << summary.json(world) << std::endl;
        }
        return status;
    };
    runInBrowser(std::move(loop));
}
