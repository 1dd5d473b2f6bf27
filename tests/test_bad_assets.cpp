// The bad-asset matrix: every kind of file the game loads (PNG as a texture and as a surface, WAV as a
// sound, MP3 as music, TTF as a font, the animation XML) given missing, empty, cut to its first half and
// made of random bytes, and animation files that are well-formed XML but describe the wrong thing. Each
// case either loads, as the engine tolerates, or ends the program through fatalError: exit status 1, its
// message on standard error, and in userData/log.txt the message as an ERROR line followed by SDL's own
// error text as a second ERROR line. Nothing may crash, hang or end silently. Last, a working directory
// in which userData cannot be created: the game runs all the same.

#include "Audio/Music.h"
#include "Audio/Sound.h"
#include "Core/Core.h"
#include "Graphics/Animation.h"
#include "Graphics/Font.h"
#include "Graphics/Image.h"
#include "Graphics/Renderer.h"
#include "Graphics/Surface.h"
#include "Graphics/Texture.h"
#include "support/Headless.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// Real files of the game, each cut in half for the truncated case.
const std::string kPng = "data/img/bg.png";
const std::string kWav = "data/sfx/explode.wav";
const std::string kMp3 = "data/music/Brassoak1_-_06_-_The_Battle_Continues.mp3";
const std::string kTtf = "data/ttf/tahomabd.ttf";
const std::string kXml = "data/img/playerAnimation/walk.xml";

// The random files: the same 4 096 bytes on every run.
constexpr unsigned kRandomSeed = 20180101;
constexpr size_t kRandomSize = 4096;

std::uintmax_t logSize()
{
    std::error_code error;
    const auto size = std::filesystem::file_size("userData/log.txt", error);
    return error ? 0 : size;
}

// The text as a POSIX extended regular expression that matches it literally.
std::string literal(const std::string& text)
{
    std::string pattern;
    for (const char c : text) {
        if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos)
            pattern += '\\';
        pattern += c;
    }
    return pattern;
}

// One kind of file in its four bad forms.
struct BadFiles {
    std::string missing;
    std::string empty;
    std::string truncated;
    std::string random;
};

class BadAssetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        std::filesystem::create_directories("userData");
        startHeadlessCore();
        dir = scratchDirectory("bad_assets");
    }

    std::string write(const std::string& name, const std::string& bytes) const
    {
        const std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // A file that is not there, an empty one, the first half of the real file and random bytes, all
    // with the real file's extension (the loaders that look at it get no hint that anything is wrong).
    BadFiles badFiles(const std::string& real) const
    {
        const std::string extension = std::filesystem::path(real).extension().string();
        const std::string whole = readFile(real);
        EXPECT_GT(whole.size(), 100u) << real;
        std::mt19937 generator(kRandomSeed);
        std::string noise(kRandomSize, '\0');
        for (char& c : noise)
            c = static_cast<char>(generator() & 0xFF);
        return {dir + "/missing" + extension, write("empty" + extension, ""),
            write("half" + extension, whole.substr(0, whole.size() / 2)), write("random" + extension, noise)};
    }

    // The load must end the program through fatalError with this message.
    static void expectFatal(const std::function<void()>& load, const std::string& message)
    {
        const auto before = logSize();
        EXPECT_EXIT(load(), ::testing::ExitedWithCode(1), literal("Error! " + message)) << message;
        const std::string log = readFile("userData/log.txt").substr(before);
        const auto line = log.find("|ERROR| " + message + "\n");
        ASSERT_NE(line, std::string::npos) << "no ERROR line for: " << message;
        // SDL's error text follows as a second ERROR line.
        EXPECT_NE(log.find("|ERROR| ", log.find('\n', line)), std::string::npos) << message;
    }

    std::string dir;
};

} // namespace

// ---- PNG ---------------------------------------------------------------------------------------------

// libpng stops at the end of a cut file with a read error, and neither empty nor random bytes carry any
// image format's signature: a texture loads from none of the four.
TEST_F(BadAssetTest, PngAsTextureRefusesAllFourBadFiles)
{
    const BadFiles png = badFiles(kPng);
    for (const std::string& path : {png.missing, png.empty, png.truncated, png.random})
        expectFatal([&] { Texture texture(path); }, "Texture " + path + " failed load!");
}

TEST_F(BadAssetTest, PngAsSurfaceRefusesAllFourBadFiles)
{
    const BadFiles png = badFiles(kPng);
    for (const std::string& path : {png.missing, png.empty, png.truncated, png.random})
        expectFatal([&] { Surface surface(path, Color(255, 0, 255, 255)); }, "Surface " + path + " failed load!");
}

// ---- WAV ---------------------------------------------------------------------------------------------

TEST_F(BadAssetTest, WavAsSoundRefusesMissingEmptyAndRandomFiles)
{
    const BadFiles wav = badFiles(kWav);
    for (const std::string& path : {wav.missing, wav.empty, wav.random})
        expectFatal([&] { Sound sound(path); }, "Sound " + path + " failed load!");
}

// A wave cut short keeps its header, which still claims the whole data chunk; SDL drops the missing
// sample frames and the sound loads with the half that is there.
TEST_F(BadAssetTest, WavAsSoundToleratesATruncatedFile)
{
    const BadFiles wav = badFiles(kWav);
    const Sound whole(kWav);
    const Sound half(wav.truncated);
    ASSERT_NE(half.handle(), nullptr);
    EXPECT_GT(half.handle()->alen, 0u);
    EXPECT_LT(half.handle()->alen, whole.handle()->alen);
    Sound playing(wav.truncated);
    playing.play();
    EXPECT_GE(Mix_Playing(-1), 1);
    Mix_HaltChannel(-1);
}

// ---- MP3 ---------------------------------------------------------------------------------------------

// An empty file has no tags and no frame; in the random bytes libmpg123 finds no chain of frame
// headers before the end and gives up ("I am done with this track"): both are refused.
TEST_F(BadAssetTest, Mp3AsMusicRefusesMissingEmptyAndRandomFiles)
{
    const BadFiles mp3 = badFiles(kMp3);
    for (const std::string& path : {mp3.missing, mp3.empty, mp3.random})
        expectFatal([&] { Music music(path); }, "Music " + path + " failed load!");
}

// libmpg123 decodes frame by frame and resynchronises on the next frame header, so the first half of
// the piece is simply a shorter piece: it loads and plays. (It notices that the Xing header promises
// twice the bytes and says so on standard error; that only makes seeking fuzzier.)
TEST_F(BadAssetTest, Mp3AsMusicToleratesATruncatedFile)
{
    const BadFiles mp3 = badFiles(kMp3);
    Music music(mp3.truncated);
    ASSERT_NE(music.handle(), nullptr);
    EXPECT_EQ(Mix_GetMusicType(music.handle()), MUS_MP3);
    music.play(0);
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    Mix_HaltMusic();
}

// ---- TTF ---------------------------------------------------------------------------------------------

// FreeType checks the table directory against the file's length, so the first half of the font is
// refused as firmly as an empty file or random bytes.
TEST_F(BadAssetTest, TtfAsFontRefusesAllFourBadFiles)
{
    const BadFiles ttf = badFiles(kTtf);
    for (const std::string& path : {ttf.missing, ttf.empty, ttf.truncated, ttf.random})
        expectFatal([&] { Font font(path, 22); }, "Font " + path + " failed load!");
}

// ---- Animation XML -----------------------------------------------------------------------------------

// A missing file is the reader's failure; text that is not well-formed XML is refused with the parser's
// reason and where it stopped, even when the frames before the cut were read.
TEST_F(BadAssetTest, AnimationXmlRefusesMissingEmptyTruncatedAndRandomFiles)
{
    const BadFiles xml = badFiles(kXml);
    expectFatal([&] { Animation animation(xml.missing, 1); }, "File " + xml.missing + " failed load!");
    expectFatal([&] { Animation animation(xml.empty, 1); },
        "Animation " + xml.empty + " failed load! Broken XML: No document element found at byte 0.");
    for (const std::string& path : {xml.truncated, xml.random}) {
        const AnimationData data = Animation::parse(readFile(path));
        ASSERT_FALSE(data.parseError.empty()) << path;
        EXPECT_LE(data.parseErrorOffset, static_cast<ptrdiff_t>(readFile(path).size())) << path;
        expectFatal([&] { Animation animation(path, 1); },
            "Animation " + path + " failed load! Broken XML: " + data.parseError + " at byte "
                + std::to_string(data.parseErrorOffset) + ".");
    }
    // The first half of the walk ends just after its third frame element: those frames were read.
    EXPECT_EQ(Animation::parse(readFile(xml.truncated)).frames.size(), 3u);
}

// ---- Animation files that are XML but describe the wrong thing ---------------------------------------

TEST_F(BadAssetTest, AnimationWithoutRootAnimationElementOrFramesEndsTheProgram)
{
    const std::string sheet = "image=\"data/img/playerAnimation/walk.png\"";
    const std::string noRoot = write("no-root.xml", "<?xml version=\"1.0\"?><!-- nothing but a comment -->");
    const std::string noAnimation = write(
        "no-animation.xml", "<sheet " + sheet + "><frames><frame width=\"46\" height=\"68\"/></frames></sheet>");
    const std::string noFrames
        = write("no-frames.xml", "<sheet " + sheet + "><animation delay=\"80\" count=\"8\"/></sheet>");
    // Nothing to size, step or draw: the loader refuses the file before it looks for the sheet.
    expectFatal([&] { Animation animation(noRoot, 1); },
        "Animation " + noRoot + " failed load! Broken XML: No document element found at byte 51.");
    for (const std::string& path : {noAnimation, noFrames})
        expectFatal(
            [&] { Animation animation(path, 1); }, "Animation " + path + " failed load! It describes no frame.");
}

TEST_F(BadAssetTest, AnimationWithAMissingImageEndsTheProgram)
{
    const std::string image = dir + "/none.png";
    const std::string path = write("missing-image.xml",
        "<sheet image=\"" + image + "\"><animation><frame width=\"4\" height=\"4\"/></animation></sheet>");
    expectFatal([&] { Animation animation(path, 1); }, "Surface " + image + " failed load!");
}

// A count of 4 000 000 000 only reserves room, and that room is capped: the two frames present load.
TEST_F(BadAssetTest, AnimationClaimingFourBillionFramesLoadsTheFramesItHas)
{
    const std::string path = write("huge-count.xml",
        "<sheet image=\"data/img/playerAnimation/walk.png\"><animation delay=\"80\" count=\"4000000000\">"
        "<frame x=\"0\" y=\"0\" width=\"46\" height=\"68\"/><frame x=\"46\" y=\"0\" width=\"46\" height=\"68\"/>"
        "</animation></sheet>");
    Animation animation(path, 1);
    ASSERT_EQ(animation.frames().size(), 2u);
    EXPECT_LE(animation.frames().capacity(), 4096u);
    EXPECT_EQ(animation.rect().size(), Size(46, 68));
}

// A frame without a width or a height could never be drawn: refused, naming the frame.
TEST_F(BadAssetTest, AnimationWithNegativeOrZeroSizesEndsTheProgram)
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
            = write("sizes" + std::to_string(i) + ".xml", frames + cases[i].first + "</animation></sheet>");
        expectFatal([&] { Animation animation(path, 1); },
            "Animation " + path + " failed load! " + cases[i].second + "; a frame needs a width and a height above 0.");
    }
}

// ---- A working directory where userData cannot be created --------------------------------------------

class BlockedUserDataTest : public BadAssetTest {
protected:
    // A scratch working directory with a link to the real data and a regular file named userData, so
    // that neither the log nor the report can be written.
    std::string blockedDirectory()
    {
        const std::string blocked = dir + "/blocked";
        std::filesystem::create_directories(blocked);
        std::filesystem::create_directory_symlink(std::filesystem::absolute("data"), blocked + "/data");
        std::ofstream(blocked + "/userData") << "a file, not a folder";
        return std::filesystem::absolute(blocked).string();
    }
};

// The log is a static stream that stays failed when it cannot be opened, and the report is skipped
// when its file cannot be opened: 30 frames of the real game run and end with status 0.
TEST_F(BlockedUserDataTest, TheGameRunsWithoutItsLogAndReport)
{
#ifdef DUELFALL_SIM_PATH
    const std::string blocked = blockedDirectory();
    const std::string command
        = "cd '" + blocked + "' && timeout -s KILL 120 " DUELFALL_SIM_PATH " --frames 30 --seed 1 > sim.out 2> sim.err";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << readFile(blocked + "/sim.err");
    EXPECT_NE(readFile(blocked + "/sim.out").find("\"frames\":30"), std::string::npos)
        << readFile(blocked + "/sim.out");
    EXPECT_TRUE(std::filesystem::is_regular_file(blocked + "/userData"));
    EXPECT_EQ(readFile(blocked + "/userData"), "a file, not a folder");
#else
    GTEST_SKIP() << "duelfall-sim is not built";
#endif
}

// A fatal error there still ends the program with status 1 and its message on standard error; only
// the log lines are lost.
TEST_F(BlockedUserDataTest, AFatalErrorStillEndsTheProgramWithItsMessage)
{
    const std::string blocked = blockedDirectory();
    EXPECT_EXIT(
        {
            if (chdir(blocked.c_str()) == 0)
                Sound sound("data/sfx/none.wav");
        },
        ::testing::ExitedWithCode(1), "Error! Sound data/sfx/none\\.wav failed load!");
    EXPECT_TRUE(std::filesystem::is_regular_file(blocked + "/userData"));
}
