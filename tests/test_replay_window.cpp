// The real game in a real window (Xvfb), played with real key events (xdotool) for over 3,000 frames:
// it walks, jumps, fires, takes hits until the game is over, restarts with Enter and plays on; then the
// window is closed as a window manager closes it. The replay the game left must play back in the
// simulator without a desync, to the same health of the player and the bosses.
//
// Skipped, saying why, where Xvfb, xdotool or the X library is missing. The game runs as a child under
// `timeout -s KILL` and is never led into a fatal error (under a display its box would wait for a click).

// Xlib first, for the layout of its event; its macros that clash with GoogleTest's names go at once.
#include <X11/Xlib.h>
#undef None
#undef Status
#undef Bool
#undef True
#undef False

#include "Replay.h"
#include "support/Headless.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr long kLeastFrames = 3000;
constexpr double kFramesPerSecond = 60.0;
// Limits for a slow machine (a sanitizer build, other programs beside it), in seconds; at 60 frames a
// second the game is over after about 35 and the whole run takes about 60.
constexpr double kGameOverLimit = 300;
constexpr double kPlayLimit = 400;
constexpr const char* kGameKillAfter = "500";

bool onPath(const std::string& program) { return std::system(("command -v " + program + " >/dev/null").c_str()) == 0; }

std::string output(const std::string& command)
{
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            text.append(buffer, got);
        pclose(pipe);
    }
    return text;
}

void pause(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

// A child process with its output in a file; killed when the owner goes, if it still runs.
class Child {
public:
    Child(const std::vector<std::string>& arguments, const std::string& directory,
        const std::vector<std::pair<std::string, std::string>>& environment, const std::string& logPath)
    {
        pid_ = fork();
        if (pid_ != 0)
            return;
        if (chdir(directory.c_str()) != 0)
            _exit(127);
        for (const auto& [name, value] : environment)
            setenv(name.c_str(), value.c_str(), 1);
        if (FILE* log = std::fopen(logPath.c_str(), "w")) {
            dup2(fileno(log), 1);
            dup2(fileno(log), 2);
        }
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    ~Child()
    {
        if (running())
            kill(pid_, SIGKILL);
        if (!status_)
            waitpid(pid_, nullptr, 0);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool running()
    {
        int status = 0;
        if (!status_ && waitpid(pid_, &status, WNOHANG) == pid_)
            status_ = status;
        return !status_;
    }
    // The exit status once it has ended within the time, -1 otherwise (or after a signal).
    int waitExit(double seconds)
    {
        for (const auto until = Clock::now() + std::chrono::duration<double>(seconds);
             running() && Clock::now() < until;)
            pause(0.05);
        return !running() && WIFEXITED(*status_) ? WEXITSTATUS(*status_) : -1;
    }
    void signal(int number) { kill(pid_, number); }

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// The X library, loaded at run time so that the test builds where it is absent.
class X11 {
public:
    X11()
        : library_(dlopen("libX11.so.6", RTLD_NOW))
    {
    }
    ~X11()
    {
        if (library_)
            dlclose(library_);
    }
    bool loaded() const { return library_ != nullptr; }

    // Asks the window to close the way a window manager does (WM_DELETE_WINDOW): SDL turns it into the
    // window's close event, the game's own way out.
    bool requestClose(const std::string& displayName, unsigned long window) const
    {
        auto openDisplay = reinterpret_cast<Display* (*)(const char*)>(dlsym(library_, "XOpenDisplay"));
        auto internAtom = reinterpret_cast<Atom (*)(Display*, const char*, int)>(dlsym(library_, "XInternAtom"));
        auto sendEvent = reinterpret_cast<int (*)(Display*, Window, int, long, XEvent*)>(dlsym(library_, "XSendEvent"));
        auto flush = reinterpret_cast<int (*)(Display*)>(dlsym(library_, "XFlush"));
        auto closeDisplay = reinterpret_cast<int (*)(Display*)>(dlsym(library_, "XCloseDisplay"));
        if (!openDisplay || !internAtom || !sendEvent || !flush || !closeDisplay)
            return false;
        Display* display = openDisplay(displayName.c_str());
        if (!display)
            return false;
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = internAtom(display, "WM_PROTOCOLS", 0);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(internAtom(display, "WM_DELETE_WINDOW", 0));
        event.xclient.data.l[1] = CurrentTime;
        const int sent = sendEvent(display, window, 0, NoEventMask, &event);
        flush(display);
        closeDisplay(display);
        return sent != 0;
    }

private:
    void* library_;
};

// A display number whose socket and lock are free.
int freeDisplay()
{
    for (int number = 40 + getpid() % 50;; ++number)
        if (!fs::exists("/tmp/.X11-unix/X" + std::to_string(number))
            && !fs::exists("/tmp/.X" + std::to_string(number) + "-lock"))
            return number;
}

// Real key events for the game's window, through xdotool.
class Keys {
public:
    Keys(std::string display, std::string window)
        : prefix_("DISPLAY=" + display + " xdotool ")
        , window_(std::move(window))
    {
    }
    void down(const std::string& keys) { each("keydown", keys); }
    void up(const std::string& keys) { each("keyup", keys); }
    void hold(const std::string& keys, double seconds)
    {
        down(keys);
        pause(seconds);
        up(keys);
    }

private:
    void each(const char* action, const std::string& keys)
    {
        std::system((prefix_ + action + " --window " + window_ + " " + keys).c_str());
    }
    std::string prefix_;
    std::string window_;
};

// The replay the game writes at a game over, before the window is closed.
std::optional<fs::path> runReplay(const fs::path& replays)
{
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(replays, error))
        if (entry.path().extension() == ".replay" && entry.path().filename() != "last.replay")
            return entry.path();
    return std::nullopt;
}

std::string field(const std::string& json, const std::string& name)
{
    std::smatch match;
    if (!std::regex_search(json, match, std::regex("\"" + name + "\":\"?([-a-z0-9.]+)")))
        return "";
    return match[1];
}

} // namespace

TEST(ReplayWindow, ARealGameDrivenByRealKeysReplaysInTheSimulatorWithoutADesync)
{
    for (const char* program : {"Xvfb", "xdotool", "timeout"})
        if (!onPath(program))
            GTEST_SKIP() << program << " is not installed: the real-window round trip needs Xvfb and xdotool "
                         << "(scripts/install-deps.sh installs them)";
    const X11 x11;
    if (!x11.loaded())
        GTEST_SKIP() << "libX11.so.6 cannot be loaded: the window cannot be asked to close";

    const fs::path dir = fs::absolute(scratchDirectory("window"));
    fs::create_directory_symlink(fs::absolute("data"), dir / "data");
    const std::string display = ":" + std::to_string(freeDisplay());
    Child xvfb({"Xvfb", display, "-screen", "0", "1280x800x24", "-nolisten", "tcp"}, dir.string(), {},
        (dir / "xvfb.log").string());
    const std::string socket = "/tmp/.X11-unix/X" + display.substr(1);
    for (int i = 0; i < 200 && !fs::exists(socket); ++i)
        pause(0.05);
    ASSERT_TRUE(fs::exists(socket)) << "Xvfb did not start: " << readFile((dir / "xvfb.log").string());

    // A real window (drawn by SDL's software renderer, the lightest on a loaded machine); the key events
    // are the only input.
    Child game({"timeout", "-s", "KILL", kGameKillAfter, DUELFALL_PATH}, dir.string(),
        {{"DISPLAY", display}, {"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "dummy"},
            {"SDL_RENDER_DRIVER", "software"}},
        (dir / "game.log").string());
    std::string window;
    for (int i = 0; i < 300 && window.empty() && game.running(); ++i) {
        window = output("DISPLAY=" + display + " xdotool search --name '^Duelfall$' 2>/dev/null | head -n 1");
        window = window.substr(0, window.find('\n'));
        if (window.empty())
            pause(0.1);
    }
    ASSERT_FALSE(window.empty()) << "no game window: " << readFile((dir / "game.log").string());
    const auto started = Clock::now();
    const auto seconds = [&] { return std::chrono::duration<double>(Clock::now() - started).count(); };

    // Stand where the game starts, under the first boss's path, aiming up and firing, and jump in place
    // now and then: its rockets hit until the game is over (about 2,100 frames, however fast the frames
    // come), and the game writes its replay then.
    Keys keys(display, window);
    pause(0.5);
    const fs::path replays = dir / "userData/replays";
    keys.down("w Control_L");
    keys.hold("space", 0.4);
    pause(1.0);
    keys.hold("space Shift_L", 0.2);
    std::optional<fs::path> atGameOver;
    while (!(atGameOver = runReplay(replays)) && seconds() < kGameOverLimit && game.running())
        pause(0.1);
    const double gameOverSeconds = seconds();
    keys.up("w Control_L");
    ASSERT_TRUE(atGameOver) << "no game over after " << gameOverSeconds
                            << " s: " << readFile((dir / "game.log").string());
    const Replay lost = Replay::load(atGameOver->string());
    EXPECT_LE(lost.end.playerHealth, 0) << "the player was hit until its health was gone";
    // Frames run at most 60 a second; a loaded machine runs fewer.
    const double framesPerSecond = std::min(kFramesPerSecond, lost.frames / gameOverSeconds);

    // Enter on the game-over screen restarts; then fight on until well past 3,000 frames.
    pause(0.5);
    keys.hold("Return", 0.3);
    // Then run both ways with letters and arrows, jumping and firing, until well past 3,000 frames.
    for (int turn = 0; seconds() * framesPerSecond < kLeastFrames + 300 && seconds() < kPlayLimit; ++turn)
        keys.hold(turn % 2 ? "a Up space Control_L" : "Right d Shift_R", 0.7);

    ASSERT_TRUE(x11.requestClose(display, std::stoul(window)));
    const int status = game.waitExit(20);
    ASSERT_EQ(status, 0) << "the game did not end cleanly after its window was closed: "
                         << readFile((dir / "game.log").string());

    const Replay replay = Replay::load((replays / "last.replay").string());
    EXPECT_EQ(readFile((replays / "last.replay").string()), readFile(atGameOver->string()))
        << "the run's file is rewritten at the end and copied to last.replay";
    EXPECT_GE(replay.frames, kLeastFrames);
    EXPECT_GT(replay.frames, lost.frames);
    std::string held;
    for (const Replay::Span& span : replay.spans)
        for (int key = 0; key < kGameKeyCount; ++key)
            if (span.keys.isHeld(static_cast<GameKey>(key))
                && held.find(gameKeyName(static_cast<GameKey>(key))) == std::string::npos)
                held += std::string(gameKeyName(static_cast<GameKey>(key))) + " ";
    for (const char* name : {"left", "right", "up", "jump", "fire", "enter"})
        EXPECT_NE(held.find(name), std::string::npos) << name << " was pressed but not recorded: " << held;

    // The simulator plays the same game, checkpoint by checkpoint, to the same end.
    const std::string command
        = "SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 timeout -s KILL 300 " DUELFALL_SIM_PATH
          " --replay "
        + (replays / "last.replay").string() + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string simOutput;
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        simOutput.append(buffer, got);
    const int simStatus = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(simStatus) && WEXITSTATUS(simStatus) == 0) << simOutput;
    EXPECT_EQ(field(simOutput, "frames"), std::to_string(replay.frames)) << simOutput;
    EXPECT_EQ(field(simOutput, "player_health"), std::to_string(replay.end.playerHealth)) << simOutput;
    EXPECT_EQ(field(simOutput, "boss01_health"), std::to_string(replay.end.boss01Health)) << simOutput;
    EXPECT_EQ(field(simOutput, "boss02_health"), std::to_string(replay.end.boss02Health)) << simOutput;
    EXPECT_GE(std::atoi(field(simOutput, "game_overs").c_str()), 1) << "the game over was replayed: " << simOutput;
}
