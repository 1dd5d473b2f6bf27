// Misuse and a hostile environment end cleanly: the game without a screen or a sound device, a broken
// command line, a directory where a file should be, pixels of pictures that
// are not 32 bits deep, a surface used after a move, drawing before the engine is started, a second
// start under live textures, and an impact explosion that must not outlive the fight it belonged to.

#include "Core/Core.h"
#include "Core/FrameLimiter.h"
#include "GameFrame.h"
#include "Graphics/Animation.h"
#include "Graphics/Surface.h"
#include "Graphics/Texture.h"
#include "Utils/File.h"
#include "World.h"
#include "support/EngineHarness.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using engine_test::expectFatal;

struct Outcome {
    int exitCode = -1; // -1 when the game was still running and had to be stopped
    std::string out;
    std::string err;
    std::string log;
};

// Runs the real game in a fresh directory of its own with the environment changed as given (a value of
// nullptr unsets the variable). It is stopped once `runningMarker` appears there, or after 20 seconds.
Outcome runGame(const std::vector<std::pair<const char*, const char*>>& environment,
    const std::vector<std::string>& args, const std::string& runningMarker = "")
{
    const std::string dir = std::filesystem::absolute(scratchDirectory("game")).string();
    std::filesystem::create_symlink(std::filesystem::absolute("data"), dir + "/data");
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(dir.c_str()) != 0)
            _exit(126);
        for (const auto& [name, value] : environment)
            value != nullptr ? setenv(name, value, 1) : unsetenv(name);
        dup2(open("out.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
        dup2(open("err.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(DUELFALL_PATH)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(DUELFALL_PATH, argv.data());
        _exit(127);
    }
    Outcome outcome;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (waitpid(child, &status, WNOHANG) == 0) {
        const bool marked = !runningMarker.empty() && std::filesystem::exists(dir + "/" + runningMarker);
        if (marked || std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            if (!marked)
                ADD_FAILURE() << "the game neither ended nor reached its marker";
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFEXITED(status))
        outcome.exitCode = WEXITSTATUS(status);
    outcome.out = readFile(dir + "/out.txt");
    outcome.err = readFile(dir + "/err.txt");
    outcome.log = readFile(dir + "/userData/log.txt");
    return outcome;
}

// No sound device, the same on every machine: ALSA asked for a device that does not exist.
const std::vector<std::pair<const char*, const char*>> kNoSoundDevice{
    {"DISPLAY", nullptr}, {"SDL_VIDEODRIVER", "offscreen"}, {"SDL_AUDIODRIVER", "alsa"}, {"AUDIODEV", "nodevice"}};

TEST(GameEnvironment, WithoutAScreenOrASoundDeviceTheGameSaysWhyAndEnds)
{
    struct Case {
        std::vector<std::pair<const char*, const char*>> environment;
        std::vector<std::string> args;
        int exitCode;
        std::string text; // on standard error, or standard output for a clean end
    };
    const std::vector<Case> cases{
        {{{"DISPLAY", nullptr}, {"WAYLAND_DISPLAY", nullptr}, {"SDL_VIDEODRIVER", nullptr}}, {}, 1,
            "Error! No display to open the window on (DISPLAY is not set)!"},
        {{{"DISPLAY", ":987"}, {"WAYLAND_DISPLAY", nullptr}, {"SDL_VIDEODRIVER", nullptr}}, {}, 1,
            "Error! No display to open the window on (DISPLAY=:987 cannot be opened)!"},
        {kNoSoundDevice, {}, 1,
            "Error! Mix_OpenAudio Error! No sound device could be opened. To play without sound, start with "
            "--no-audio.\nALSA: "},
        {{}, {"--sound-off"}, 2, "duelfall: unknown option \"--sound-off\" (try --help)"},
        {{}, {"--replay"}, 2, "duelfall: --replay needs a file"},
        {{}, {"--help"}, 0, "  --no-audio      play without sound"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = runGame(c.environment, c.args);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.text;
        EXPECT_NE((c.exitCode == 0 ? outcome.out : outcome.err).find(c.text), std::string::npos)
            << outcome.out << outcome.err;
        if (c.text.rfind("Error! ", 0) == 0) {
            EXPECT_NE(outcome.log.find("|ERROR| " + c.text.substr(7, 30)), std::string::npos) << outcome.log;
        }
    }

    // --no-audio plays on the same machine: it gets as far as the start-up report, without an error.
    const Outcome silent = runGame(kNoSoundDevice, {"--no-audio"}, "userData/systemInfo.txt");
    EXPECT_EQ(silent.exitCode, -1) << silent.err;
    EXPECT_EQ(silent.log.find("|ERROR|"), std::string::npos) << silent.log;
}

class MisuseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        startHeadlessCore();
        dir = scratchDirectory("misuse");
    }

    std::string write(const std::string& name, const std::string& text) const
    {
        std::ofstream(dir + "/" + name, std::ios::binary) << text;
        return dir + "/" + name;
    }

    std::string dir;
};

TEST_F(MisuseTest, ADirectoryIsNoFileToRead)
{
    // A directory is no file to read: refused by name instead of read as an endless stream.
    const std::string directory = dir + "/walk.xml";
    std::filesystem::create_directory(directory);
    expectFatal([&] { Animation(directory, 0, true); }, "File " + directory + " failed load!");
    expectFatal([&] { File(dir, File::Read).readAll(); }, "File " + dir + " failed load!");
}

TEST_F(MisuseTest, PixelsOfEveryDepthReadAndWriteInsideTheirOwnBytes)
{
    const Color orange{255, 128, 0, 255};
    for (const uint32_t format : {SDL_PIXELFORMAT_INDEX8, SDL_PIXELFORMAT_RGB565, SDL_PIXELFORMAT_RGB24,
             SDL_PIXELFORMAT_BGR24, SDL_PIXELFORMAT_ARGB8888}) {
        Surface surface(SDL_CreateRGBSurfaceWithFormat(0, 64, 1, 32, format));
        ASSERT_NE(surface.handle(), nullptr) << SDL_GetPixelFormatName(format);
        if (SDL_ISPIXELFORMAT_INDEXED(format)) {
            const SDL_Color palette[2] = {{0, 0, 0, 255}, orange.toSDL()};
            SDL_SetPaletteColors(surface.handle()->format->palette, palette, 0, 2);
        }
        const char* name = SDL_GetPixelFormatName(format);
        // The last pixel of the row is the one that overran when every pixel was taken as 4 bytes.
        surface.setPixel(orange, {63, 0});
        EXPECT_EQ(surface.pixel({63, 0}).r, 255) << name;
        EXPECT_GE(surface.pixel({63, 0}).g, 124) << name; // 565 keeps 6 bits of green
        EXPECT_EQ(surface.pixel({62, 0}).r, 0) << name;
        // Outside the surface nothing is read or written.
        surface.setPixel(orange, {64, 0});
        surface.setPixel(orange, {-1, 0});
        EXPECT_TRUE(surface.pixel({64, 0}).isEmpty()) << name;
        EXPECT_TRUE(surface.pixel({0, 1}).isEmpty()) << name;
        EXPECT_EQ(surface.pixel({0, 0}).r, 0) << name;
    }
}

TEST_F(MisuseTest, AMovedSurfaceDrawingBeforeInitAndASecondInitUnderLiveTexturesAreFatal)
{
    expectFatal(
        [] {
            Surface surface(Size{4, 4});
            Surface taken = std::move(surface);
            surface.pixel({0, 0});
        },
        "Surface used after it was moved from!");
    expectFatal(
        [] {
            Texture texture("data/img/bullet.png");
            Core::instance().init("Duelfall again", {64, 64}, true);
        },
        "Core init called again while textures of the first renderer are alive: 1!");
}

// Without startHeadlessCore: the engine has not been started in this program's death-test children.
TEST(MisuseBeforeInit, DrawingOrRunningAFrameBeforeInitIsFatal)
{
    const std::string xml = "data/img/explosion/explode.xml";
    expectFatal([&] { Animation(xml, 0, true).draw(); }, "Drawing before Core init!");
    expectFatal([] { Core::instance().runFrame(); }, "Core runFrame before init!");
}

TEST_F(MisuseTest, AfterARestartTheLastImpactOfTheLostFightDoesNotHurt)
{
    World world;
    // A rocket lands right where the player will stand after the restart.
    Rocket rocket("data/img/rocket.png", {100, 576});
    world.boss01.rockets().push_back(rocket);
    std::vector<Bullet> none;
    world.boss01.update(none);
    ASSERT_TRUE(world.boss01.impactArea().has_value());

    restartFight(world);
    const int health = world.player.getHealth();
    for (int frame = 1; frame <= 60; ++frame) {
        updateFrame(world);
        ASSERT_EQ(world.player.getHealth(), health) << "hurt in frame " << frame << " after the restart";
    }
}

// The wall clock is set back by a minute in the middle of a run of frames (libfaketime, read anew at
// every call): the frames go on at their pace. Measured with a clock that steps, the limiter would
// sleep for that minute, and the alarm ends the child.
TEST(FrameLimiterClock, AWallClockSetBackDoesNotFreezeTheFrames)
{
    const char* library = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1";
    if (!std::filesystem::exists(library))
        GTEST_SKIP() << "libfaketime is not installed";
    const std::string offset = std::filesystem::absolute(scratchDirectory("clock")).string() + "/offset";
    std::ofstream(offset) << "+0\n";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("LD_PRELOAD", library, 1);
    setenv("FAKETIME_TIMESTAMP_FILE", offset.c_str(), 1);
    setenv("FAKETIME_NO_CACHE", "1", 1);
    setenv("DONT_FAKE_MONOTONIC", "1", 1);
    // Under AddressSanitizer the preloaded library comes before its runtime, which it allows when told.
    const char* asan = std::getenv("ASAN_OPTIONS");
    setenv("ASAN_OPTIONS", (std::string(asan != nullptr ? asan : "") + ":verify_asan_link_order=0").c_str(), 1);
    EXPECT_EXIT(
        {
            alarm(10);
            for (int frame = 1; frame <= 60; ++frame) {
                if (frame == 20)
                    std::ofstream(offset) << "-60\n";
                limitFrameRate(60);
            }
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    unsetenv("LD_PRELOAD");
}

} // namespace
