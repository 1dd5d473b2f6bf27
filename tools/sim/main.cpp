// duelfall-sim: runs the game's very world and frame callables, headless and as fast as the machine
// allows (or in real time in a window), driven by a key script or by the autopilot. Its last line on
// standard output is a JSON summary of the run.

#include "Autopilot.h"
#include "KeyScript.h"
#include "RunSummary.h"
#include "SimOptions.h"

#include "Core/Core.h"
#include "Core/FrameLimiter.h"
#include "Core/HeadlessRendering.h"
#include "Fight/World.h"
#include "Frame/GameFrame.h"
#include "Input/Window.h"
#include "Math/Random.h"
#include "Replay/ReplayArchive.h"
#include "Replay/ReplayPlayer.h"
#include "Replay/ReplayRecorder.h"
#include "System/HeadlessDrivers.h"
#include "System/SystemInfo.h"
#include "Utils/Utf8Path.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

namespace {

constexpr int kDesyncStatus = 3;

const char* stateOf(const World& world)
{
    if (world.player.isFinished())
        return "gameover";
    if (world.player.isDead())
        return "dying";
    if (world.boss02.isFinished())
        return "victory";
    return "fight";
}

void writeTrace(std::ostream& out, long frame, World& world)
{
    const bool second = world.boss01.isFinished();
    char line[512];
    std::snprintf(line, sizeof line,
        "{\"frame\":%ld,\"x\":%.3f,\"y\":%.3f,\"health\":%d,\"state\":\"%s\",\"boss_phase\":%d,"
        "\"boss_health\":%d,\"boss_x\":%d,\"boss_y\":%d,\"bullets\":%zu,\"rockets\":%zu,\"lasers\":%zu,\"fireballs\":%"
        "zu}\n",
        frame, world.player.x(), world.player.y(), world.player.getHealth(), stateOf(world), second ? 2 : 1,
        second ? world.boss02.health() : world.boss01.health(), second ? world.boss02.rect().x : world.boss01.rect().x,
        second ? world.boss02.rect().y : world.boss01.rect().y, world.player.getBullets().size(),
        world.boss01.rockets().size(), world.boss02.lasers().size(), world.boss02.fireballs().size());
    out << line;
}

int run(const SimOptions& options)
{
    if (!options.realtime) {
        useHeadlessDrivers();
        chooseHeadlessRendering();
    }
    std::optional<KeyScript> script;
    if (!options.inputPath.empty())
        script = KeyScript::load(options.inputPath);
    std::optional<ReplayPlayer> replay;
    if (!options.replayPath.empty())
        replay.emplace(Replay::load(options.replayPath));
    const long frames = replay && !options.framesGiven ? replay->frames() : options.frames;

    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "best");
    Core& core = Core::instance();
    core.init(kTitle, kLogicalSize, true);
    if (options.seed)
        Random::seed(static_cast<uint32_t>(*options.seed));
    if (replay && replay->gameVersion() != kGameVersion)
        std::cerr << "duelfall-sim: the replay was recorded by Duelfall " << replay->gameVersion() << ", this is "
                  << kGameVersion << ": it may go another way\n";

    auto world = std::make_unique<World>();
    if (replay)
        replay->start(*world);
    core.scenes().setGlobalScene(makeScene(*world));
    // Recorded as the game records: the keys the frame reads, then the state once it is drawn, written
    // out at the same moments (so a simulator killed in a long run leaves its replay too).
    ReplayRecorder recorder(Random::seedInUse());
    std::string recordError;
    const auto writeRecord = [&] {
        recordError
            = ReplayArchive::replaceFile(options.recordPath, options.recordPath + ".part", recorder.replay().text());
    };
    if (!options.recordPath.empty())
        core.scenes().setGlobalScene(Scene(
            [&] {
                recorder.recordFrame();
                updateFrame(*world);
            },
            [&] {
                drawFrame(*world);
                if (recorder.frameDone(*world))
                    writeRecord();
            }));
    writeSystemInfoReport();
    if (options.realtime)
        core.window().show();

    std::ofstream trace;
    if (!options.tracePath.empty()) {
        trace.open(pathFromUtf8(options.tracePath), std::ios::trunc);
        if (!trace)
            throw std::runtime_error("cannot write trace file '" + options.tracePath + "'");
    }

    // A replay that cannot be written is refused before the run, not when it is first written: its
    // temporary file is made and removed, so that the replay itself appears only once it has frames.
    if (!options.recordPath.empty()) {
        const std::filesystem::path probe = pathFromUtf8(options.recordPath + ".part");
        const bool writable = std::ofstream(probe, std::ios::binary | std::ios::app).is_open();
        std::error_code ignored;
        std::filesystem::remove(probe, ignored);
        if (!writable)
            throw std::runtime_error("cannot write replay '" + options.recordPath + "'");
    }

    Autopilot autopilot(static_cast<int>(std::min<long>(options.loseFights, INT_MAX)));
    Keyboard& keyboard = Core::keyboard();
    RunSummary summary;
    long frame = 0;
    std::optional<std::string> desync;
    while (frame < frames && core.input().isRunning() && !desync) {
        ++frame;
        if (options.autopilot)
            keyboard.setScript(autopilot.decide(*world));
        else if (script)
            keyboard.setScript(script->keysAt(frame));
        else if (replay)
            keyboard.setScript(replay->keysAt(frame));

        const auto start = std::chrono::steady_clock::now();
        core.runFrame();
        summary.frameDone(*world, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());

        for (const ShotRequest& shot : options.shots) {
            const std::optional<long> seen = shot.event.empty() ? std::nullopt : summary.firstSeen(shot.event);
            const bool due = shot.event.empty() ? shot.frame == frame : seen && *seen + shot.delay == frame;
            if (due && !core.captureFrame().savePng(shot.path))
                std::cerr << "duelfall-sim: cannot write " << shot.path << '\n';
        }
        if (trace)
            writeTrace(trace, frame, *world);
        if (replay)
            desync = replay->check(frame, *world);
        if (options.realtime)
            limitFrameRate(core.fps());
        if (!options.until.empty() && summary.reached(options.until, options.untilDelay))
            break;
    }

    if (desync)
        std::cerr << "duelfall-sim: " << *desync << '\n';
    // A run without a whole frame has no replay to write.
    if (!options.recordPath.empty() && frame > 0)
        writeRecord();
    if (!recordError.empty())
        throw std::runtime_error(recordError);
    std::cout << summary.json(*world) << std::endl;
    world.reset();
    return desync ? kDesyncStatus : 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::cout << simUsage();
        return 0;
    }
    SimOptions options;
    try {
        options = parseSimOptions(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << "duelfall-sim: " << error.what() << '\n' << simUsage();
        return 2;
    }
    // A file that cannot be read is no mistake of the command line: its reason alone, not the usage.
    try {
        return run(options);
    } catch (const std::exception& error) {
        std::cerr << "duelfall-sim: " << error.what() << std::endl;
        return 2;
    }
}
