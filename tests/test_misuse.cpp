// Misuse and a hostile environment: no screen or sound device, bad command lines and assets, misused engine
// calls, an unusable user folder, a stale impact. Each case works as the engine tolerates, or ends through
// fatalError (status 1, the message on standard error, two ERROR lines in the log), never crashing or hanging.
#include "Audio/Music.h"
#include "Audio/Sound.h"
#include "Core/Core.h"
#include "Core/FrameLimiter.h"
#include "Fight/World.h"
#include "Frame/GameFrame.h"
#include "Graphics/Animation.h"
#include "Graphics/Font.h"
#include "Graphics/Surface.h"
#include "Graphics/Texture.h"
#include "Utils/File.h"
#include "support/ChildProcess.h"
#include "support/EngineHarness.h"
#include "support/Headless.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
using engine_test::expectFatal;

namespace {

// No sound device, the same on every machine: ALSA asked for a device that does not exist.
const Environment kNoSoundDevice{
    {"DISPLAY", std::nullopt}, {"SDL_VIDEODRIVER", "offscreen"}, {"SDL_AUDIODRIVER", "alsa"}, {"AUDIODEV", "nodevice"}};

class MisuseTest : public testing::Test {
protected:
    void SetUp() override
    {
        startHeadlessCore();
        dir = scratchDirectory("misuse");
    }

    // A file that is not there, an empty one, the first half of the real file and 4 096 random bytes (the
    // same on every run), all with the real file's extension.
    std::vector<std::string> badFiles(const std::string& real) const
    {
        const std::string extension = fs::path(real).extension().string();
        const std::string whole = readFile(real);
        EXPECT_GT(whole.size(), 100u) << real;
        std::mt19937 generator(20180101);
        std::string noise(4096, '\0');
        for (char& c : noise)
            c = static_cast<char>(generator() & 0xFF);
        return {dir + "/missing" + extension, writeFile(dir + "/empty" + extension, ""),
            writeFile(dir + "/half" + extension, whole.substr(0, whole.size() / 2)),
            writeFile(dir + "/random" + extension, noise)};
    }

    std::string dir;
};

} // namespace

// Both programs refuse a bad command line or key script; the game without a screen or a sound device says why.
TEST(GameEnvironment, TheProgramsSayWhatIsWrongAndEnd)
{
    struct Case {
        Environment environment;
        std::vector<std::string> command;
        int exitCode; // -1: still running when stopped at the start-up report
        std::string text; // on standard error, or standard output for a clean end
    };
    const Environment noDisplay{
        {"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}, {"SDL_VIDEODRIVER", std::nullopt}};
    Environment badDisplay = noDisplay;
    badDisplay.push_back({"DISPLAY", ":987"});
    const std::vector<Case> cases{
        {noDisplay, {DUELFALL_PATH}, 1, "Error! No display to open the window on (DISPLAY is not set)!"},
        {badDisplay, {DUELFALL_PATH}, 1, "Error! No display to open the window on (DISPLAY=:987 cannot be opened)!"},
        {kNoSoundDevice, {DUELFALL_PATH}, 1,
            "Error! Mix_OpenAudio Error! No sound device could be opened. To play without sound, start with "
            "--no-audio.\nALSA: "},
        {{}, {DUELFALL_PATH, "--sound-off"}, 2, "duelfall: unknown option \"--sound-off\" (try --help)"},
        {{}, {DUELFALL_PATH, "--help"}, 0, "  --no-audio      play without sound"},
        // --no-audio plays on the same machine: it gets as far as the start-up report, without an error.
        {kNoSoundDevice, {DUELFALL_PATH, "--no-audio"}, -1, ""},
        {{}, {DUELFALL_SIM_PATH, "--until", "forever"}, 2, "--until"},
        {{}, {DUELFALL_SIM_PATH, "--input", "bad.keys"}, 2, "line 2"},
        {{}, {DUELFALL_SIM_PATH, "--input", "unknown.keys"}, 2, "shoot"},
    };
    for (const Case& c : cases) {
        const std::string dir = gameDirectory("game");
        writeFile(dir + "/bad.keys", "1-10 fire\n20-x left\n");
        writeFile(dir + "/unknown.keys", "1-10 fire shoot\n");
        ChildProcess program(c.command, dir, c.environment);
        const auto started = [&] { return fs::exists(dir + "/userData/systemInfo.txt"); };
        const int status = program.wait(20, c.exitCode == -1 ? std::function<bool()>(started) : nullptr);
        const std::string log = readFile(dir + "/userData/log.txt");
        EXPECT_EQ(status, c.exitCode) << c.text << program.errors();
        EXPECT_NE((c.exitCode == 0 ? program.output() : program.errors()).find(c.text), std::string::npos)
            << program.output() << program.errors();
        // An error is logged as it is shown; a program that plays on has logged none.
        const std::string logged = c.text.rfind("Error! ", 0) == 0 ? "|ERROR| " + c.text.substr(7, 30) : "";
        EXPECT_EQ(log.find(logged.empty() ? "|ERROR|" : logged) != std::string::npos, !logged.empty()) << log;
        EXPECT_TRUE(c.exitCode != -1 || started()) << "neither ended nor started: " << program.errors();
    }
}

// The game installed in a prefix and started from a home holding a data/ of the player's own (as a desktop
// launcher starts it) takes its data from <prefix>/share/duelfall and writes only under the preference path;
// the build started there finds its source tree's. Neither leaves a file in the prefix or the home's top.
TEST(GameEnvironment, TheGameTakesOnlyItsOwnDataAndWritesOnlyWhereItShould)
{
    const fs::path root = fs::absolute(scratchDirectory("install"));
    const fs::path prefix = root / "prefix", home = root / "home";
    fs::create_directories(prefix / "games");
    fs::create_directories(prefix / "share" / "duelfall");
    fs::create_directories(home / "data" / "photos");
    fs::copy_file(DUELFALL_PATH, prefix / "games" / "duelfall");
    fs::create_directory_symlink(fs::absolute("data"), prefix / "share" / "duelfall" / "data");
    const std::string replay = writeFile((root / "ten.replay").string(),
        "# duelfall-replay 1 game 1.0.0 seed 1\n# end 10 00000000 player 50 boss01 880 boss02 880\n");
    for (const fs::path& program : {prefix / "games" / "duelfall", fs::path(DUELFALL_PATH)}) {
        const ChildRun run = runChild({program.string(), "--replay", replay}, home.string(),
            {{"HOME", home.string()}, {"XDG_DATA_HOME", std::nullopt}, {"SDL_VIDEODRIVER", "offscreen"}});
        EXPECT_EQ(run.status, 3) << program << " plays the ten frames (to a desync): " << run.err;
    }
    const std::string log = readFile((home / ".local/share/duelfall/userData/log.txt").string());
    EXPECT_NE(log.find("Replay played back to frame 10"), std::string::npos) << log;
    // The children's output files are the test's own.
    std::vector<std::string> written;
    for (const fs::path& dir : {home, prefix})
        for (auto entry = fs::recursive_directory_iterator(dir); entry != fs::recursive_directory_iterator(); ++entry)
            if ((entry.depth() == 0 || dir == prefix) && entry->path().extension() != ".out"
                && entry->path().extension() != ".err")
                written.push_back(entry->path().lexically_relative(root).string());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written,
        (std::vector<std::string>{"home/.local", "home/data", "prefix/games", "prefix/games/duelfall", "prefix/share",
            "prefix/share/duelfall", "prefix/share/duelfall/data"}));
}

// libpng stops at the cut with a read error and FreeType checks the table directory against the length,
// so pictures and fonts refuse all four files, and so does the XML parser. A wave cut short keeps its
// header (SDL drops the missing sample frames) and libmpg123 resynchronises on the next frame header: both
// load what is there.
TEST_F(MisuseTest, EveryLoaderRefusesWhatItCannotRead)
{
    const struct {
        std::string real, kind;
        std::function<void(const std::string&)> load;
        bool toleratesCut;
    } loaders[] = {{"data/img/bg.png", "Texture", [](const std::string& path) { Texture texture(path); }, false},
        {"data/img/bg.png", "Surface", [](const std::string& path) { Surface surface(path, Color(255, 0, 255, 255)); },
            false},
        {"data/sfx/explode.wav", "Sound", [](const std::string& path) { EXPECT_GT(Sound(path).handle()->alen, 0u); },
            true},
        {"data/music/Brassoak1_-_06_-_The_Battle_Continues.mp3", "Music",
            [](const std::string& path) { EXPECT_EQ(Mix_GetMusicType(Music(path).handle()), MUS_MP3); }, true},
        {"data/ttf/tahomabd.ttf", "Font", [](const std::string& path) { Font font(path, 22); }, false},
        {"data/img/playerAnimation/walk.xml", "Animation",
            [](const std::string& path) { Animation animation(path, 1); }, false}};
    for (const auto& loader : loaders) {
        const std::vector<std::string> files = badFiles(loader.real);
        for (size_t i = 0; i < files.size(); ++i) {
            if (i == 2 && loader.toleratesCut) {
                loader.load(files[i]);
                continue;
            }
            // A missing animation is the file reader's failure; text that is not well-formed XML is refused
            // with the parser's reason and where it stopped, even when frames before a cut were read.
            const bool isXml = loader.kind == "Animation";
            std::string reason;
            if (isXml && i > 0) {
                const AnimationData data = Animation::parse(readFile(files[i]));
                ASSERT_FALSE(data.parseError.empty()) << files[i];
                reason = " Broken XML: " + data.parseError + " at byte " + std::to_string(data.parseErrorOffset) + ".";
            }
            const std::string kind = isXml && i == 0 ? "File" : loader.kind;
            expectFatal([&] { loader.load(files[i]); }, kind + " " + files[i] + " failed load!" + reason);
        }
    }
    // A directory is no file to read: refused by name instead of read as an endless stream.
    const std::string directory = dir + "/walk.xml";
    fs::create_directory(directory);
    expectFatal([&] { Animation(directory, 0, true); }, "File " + directory + " failed load!");
    expectFatal([&] { File(dir, File::Read).readAll(); }, "File " + dir + " failed load!");
}

// A frame without a width or a height could never be drawn: refused, naming the frame.
TEST_F(MisuseTest, AnimationFramesWithoutWidthOrHeightEndTheProgram)
{
    const std::string frames = "<sheet image=\"data/img/playerAnimation/walk.png\"><animation delay=\"80\">";
    const std::vector<std::pair<std::string, std::string>> cases{
        {"<frame x=\"-46\" width=\"-46\" height=\"-68\"/>", "Frame 1 is -46 x -68 pixels"},
        {"<frame width=\"46\" height=\"68\"/><frame y=\"-5\" width=\"46\" height=\"-1\"/>",
            "Frame 2 is 46 x -1 pixels"},
        {"<frame width=\"46\" height=\"68\"/><frame width=\"0\" height=\"68\"/>", "Frame 2 is 0 x 68 pixels"},
        {"<frame x=\"5\" y=\"5\"/>", "Frame 1 is 0 x 0 pixels"},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const std::string path
            = writeFile(dir + "/sizes" + std::to_string(i) + ".xml", frames + cases[i].first + "</animation></sheet>");
        expectFatal([&] { Animation animation(path, 1); },
            "Animation " + path + " failed load! " + cases[i].second + "; a frame needs a width and a height above 0.");
    }
}

TEST_F(MisuseTest, PixelsOfEveryDepthReadAndWriteInsideTheirOwnBytes)
{
    const Color orange{255, 128, 0, 255};
    for (const uint32_t format : {SDL_PIXELFORMAT_INDEX8, SDL_PIXELFORMAT_RGB565, SDL_PIXELFORMAT_RGB24,
             SDL_PIXELFORMAT_BGR24, SDL_PIXELFORMAT_ARGB8888}) {
        Surface surface(SDL_CreateRGBSurfaceWithFormat(0, 64, 1, 32, format));
        const char* name = SDL_GetPixelFormatName(format);
        ASSERT_NE(surface.handle(), nullptr) << name;
        if (SDL_ISPIXELFORMAT_INDEXED(format)) {
            const SDL_Color palette[2] = {{0, 0, 0, 255}, orange.toSDL()};
            SDL_SetPaletteColors(surface.handle()->format->palette, palette, 0, 2);
        }
        // The last pixel of the row is the one that overran when every pixel was taken as 4 bytes.
        surface.setPixel(orange, {63, 0});
        // 565 keeps 6 bits of green.
        EXPECT_TRUE(surface.pixel({63, 0}).r == 255 && surface.pixel({63, 0}).g >= 124 && surface.pixel({62, 0}).r == 0)
            << name;
        // Outside the surface nothing is read or written.
        surface.setPixel(orange, {64, 0});
        surface.setPixel(orange, {-1, 0});
        EXPECT_TRUE(surface.pixel({64, 0}).isEmpty() && surface.pixel({0, 1}).isEmpty() && surface.pixel({0, 0}).r == 0)
            << name;
    }
}

TEST_F(MisuseTest, AMovedSurfaceAndASecondInitUnderLiveTexturesAreFatal)
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
    expectFatal([] { Animation("data/img/explosion/explode.xml", 0, true).draw(); }, "Drawing before Core init!");
    expectFatal([] { Core::instance().runFrame(); }, "Core runFrame before init!");
}

// Where userData is a file, neither the log nor the report can be written: the simulator plays on, and a
// fatal error still speaks.
TEST_F(MisuseTest, WhereUserDataCannotBeMadeTheGameRunsAndAFatalErrorStillSpeaks)
{
    const std::string blocked = gameDirectory("blocked");
    writeFile(blocked + "/userData", "a file, not a folder");
    const ChildRun sim = runChild({DUELFALL_SIM_PATH, "--frames", "30", "--seed", "1"}, blocked);
    EXPECT_TRUE(sim.status == 0 && jsonField(sim.out, "frames") == "30") << sim.err;
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            if (chdir(blocked.c_str()) == 0)
                Sound sound("data/sfx/none.wav");
        },
        testing::ExitedWithCode(1), "Error! Sound data/sfx/none\\.wav failed load!");
    EXPECT_EQ(readFile(blocked + "/userData"), "a file, not a folder");
}

TEST_F(MisuseTest, AfterARestartTheLastImpactOfTheLostFightDoesNotHurt)
{
    World world;
    // A rocket lands right where the player will stand after the restart.
    world.boss01.rockets().push_back(Rocket("data/img/rocket.png", {100, 576}));
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

// The wall clock set back a minute mid-run (libfaketime reads its offset anew at every call): the frames go on,
// where a limiter measuring with a clock that steps would sleep for that minute and the alarm end the child.
TEST(FrameLimiterClock, AWallClockSetBackDoesNotFreezeTheFrames)
{
    const char* library = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1";
    if (!fs::exists(library))
        GTEST_SKIP() << "libfaketime is not installed";
    const std::string offset = writeFile(fs::absolute(scratchDirectory("clock")).string() + "/offset", "+0\n");
    // Under AddressSanitizer the preloaded library comes before its runtime, which it allows when told.
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string asanOptions = std::string(asan != nullptr ? asan : "") + ":verify_asan_link_order=0";
    for (const auto& [name, value] : {std::pair{"LD_PRELOAD", library}, {"FAKETIME_TIMESTAMP_FILE", offset.c_str()},
             {"FAKETIME_NO_CACHE", "1"}, {"DONT_FAKE_MONOTONIC", "1"}, {"ASAN_OPTIONS", asanOptions.c_str()}})
        setenv(name, value, 1);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            alarm(10);
            for (int frame = 1; frame <= 60; ++frame)
                frame == 20 ? (void)writeFile(offset, "-60\n") : limitFrameRate(60);
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
    unsetenv("LD_PRELOAD");
}
