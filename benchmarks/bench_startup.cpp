// Start-up to the first presented frame, each run in a fresh process: the game (engine started, every
// asset loaded by constructing the World, the start-up report, one Core::runFrame) against a bare SDL
// program that only initialises SDL, the font library and the mixer, creates the window, the renderer
// and the target, and presents one cleared frame. The parent starts each child, alternating the two,
// and takes the time from just before the spawn to the moment the child has presented (the steady clock
// is system-wide). Bar: the game's median is at most 2.0 times the bare program's.
#include "BareLoop.h"
#include "BenchSupport.h"

#include "Core/Core.h"
#include "Fight/World.h"
#include "Frame/GameFrame.h"
#include "Input/Window.h"
#include "System/SystemInfo.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kRuns = 9;
constexpr double kBarRatio = 2.0;
constexpr const char* kGameMode = "--child-game";
constexpr const char* kBareMode = "--child-bare";

// The child's one line to the parent: the moment of the first present, then the phases in ns.
[[noreturn]] void report(int64_t presented, const std::vector<int64_t>& phases)
{
    std::printf("%lld", static_cast<long long>(presented));
    for (int64_t phase : phases)
        std::printf(" %lld", static_cast<long long>(phase));
    std::printf("\n");
    std::fflush(stdout);
    // No teardown: it is not part of the start-up and would only delay the next run.
    _exit(0);
}

[[noreturn]] void runGame()
{
    const int64_t begin = steadyNs();
    startGameCore();
    const int64_t engine = steadyNs();
    auto world = std::make_unique<World>();
    const int64_t assets = steadyNs();
    Core& core = Core::instance();
    core.scenes().setGlobalScene(makeScene(*world));
    // What Core::run does before its first frame.
    writeSystemInfoReport();
    core.window().show();
    const int64_t reported = steadyNs();
    core.runFrame();
    const int64_t presented = steadyNs();
    report(presented, {engine - begin, assets - engine, reported - assets, presented - reported});
}

[[noreturn]] void runBare()
{
    const int64_t begin = steadyNs();
    prepareHeadlessProcess();
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "best");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) < 0 || TTF_Init() == -1
        || Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048) == -1) {
        std::fprintf(stderr, "bare start-up: %s\n", SDL_GetError());
        _exit(2);
    }
    const int64_t libraries = steadyNs();
    auto bare = std::make_unique<BareLoop>();
    bare->show();
    const int64_t window = steadyNs();
    bare->runFrame();
    const int64_t presented = steadyNs();
    report(presented, {libraries - begin, window - libraries, presented - window});
}

struct Run {
    double startupMs = 0;
    std::vector<double> phasesMs;
};

// Starts this program again in the given mode and reads its line.
Run spawnChild(const char* mode)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        std::perror("pipe");
        std::exit(2);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    char self[] = "/proc/self/exe";
    std::string modeArgument = mode;
    char* argv[] = {self, modeArgument.data(), nullptr};

    const int64_t start = steadyNs();
    pid_t pid = 0;
    const int error = posix_spawn(&pid, self, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (error != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", mode, std::strerror(error));
        std::exit(2);
    }
    std::string line;
    char buffer[512];
    ssize_t got = 0;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        line.append(buffer, static_cast<size_t>(got));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || line.empty()) {
        std::fprintf(stderr, "%s failed (status %d)\n", mode, status);
        std::exit(2);
    }

    Run run;
    char* cursor = line.data();
    const long long presented = std::strtoll(cursor, &cursor, 10);
    run.startupMs = static_cast<double>(presented - start) / 1e6;
    for (char* next = cursor;; cursor = next) {
        const long long phase = std::strtoll(cursor, &next, 10);
        if (next == cursor)
            break;
        run.phasesMs.push_back(static_cast<double>(phase) / 1e6);
    }
    return run;
}

void printPhases(const char* title, const std::vector<Run>& runs, const std::vector<const char*>& names)
{
    std::printf("  %s phases (medians):", title);
    for (size_t i = 0; i < names.size(); ++i) {
        std::vector<double> values;
        for (const Run& run : runs)
            values.push_back(i < run.phasesMs.size() ? run.phasesMs[i] : 0.0);
        std::printf(" %s %.1f ms%s", names[i], summarize(values).median, i + 1 < names.size() ? "," : "\n");
    }
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && std::strcmp(argv[1], kGameMode) == 0)
        runGame();
    if (argc > 1 && std::strcmp(argv[1], kBareMode) == 0)
        runBare();

    std::vector<Run> game;
    std::vector<Run> bare;
    std::vector<double> gameMs;
    std::vector<double> bareMs;
    // One run of each first, not counted: it brings the libraries and files into the page cache.
    spawnChild(kGameMode);
    spawnChild(kBareMode);
    for (int i = 0; i < kRuns; ++i) {
        // Which goes first alternates.
        if (i % 2 == 0) {
            game.push_back(spawnChild(kGameMode));
            bare.push_back(spawnChild(kBareMode));
        } else {
            bare.push_back(spawnChild(kBareMode));
            game.push_back(spawnChild(kGameMode));
        }
        gameMs.push_back(game.back().startupMs);
        bareMs.push_back(bare.back().startupMs);
    }
    const Summary g = summarize(gameMs);
    const Summary b = summarize(bareMs);
    std::printf("bench_startup: %d fresh processes each, spawn to first presented frame\n", kRuns);
    std::printf("  game: median %.1f ms (min %.1f, max %.1f)\n", g.median, g.min, g.max);
    printPhases("game", game, {"engine init", "World", "report and show", "first frame"});
    std::printf("  bare SDL program: median %.1f ms (min %.1f, max %.1f)\n", b.median, b.min, b.max);
    printPhases("bare", bare, {"SDL, fonts, mixer", "window, renderer, target", "first frame"});
    const double ratio = g.median / b.median;
    std::printf(
        "start-up / bare start-up (medians): %.3f; bar %.1f: %s\n", ratio, kBarRatio, verdict(ratio <= kBarRatio));
    return 0;
}
