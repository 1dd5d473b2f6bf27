// The bad-asset matrix: every kind of file the game loads (PNG as a texture and as a surface, WAV as a
// sound, MP3 as music, TTF as a font, the animation XML) given missing, empty, cut to its first half and
// made of random bytes. Each case either loads, as the engine tolerates, or ends the program through
// fatalError (status 1, the message on standard error, two ERROR lines in the log); nothing may crash, hang
// or end silently. Last, a working directory in which userData cannot be created.

#include "Audio/Music.h"
#include "Audio/Sound.h"
#include "Core/Core.h"
#include "Graphics/Animation.h"
#include "Graphics/Font.h"
#include "Graphics/Surface.h"
#include "Graphics/Texture.h"
#include "support/EngineHarness.h"
#include "support/Headless.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

using namespace engine_test;

namespace {

const std::string kPng = "data/img/bg.png";
const std::string kWav = "data/sfx/explode.wav";
const std::string kMp3 = "data/music/Brassoak1_-_06_-_The_Battle_Continues.mp3";
const std::string kTtf = "data/ttf/tahomabd.ttf";
const std::string kXml = "data/img/playerAnimation/walk.xml";

class BadAssetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        startHeadlessCore();
        dir = scratchDirectory("bad_assets");
    }

    std::string write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
        return dir + "/" + name;
    }

    // A file that is not there, an empty one, the first half of the real file and 4 096 random bytes (the
    // same on every run), all with the real file's extension.
    std::vector<std::string> badFiles(const std::string& real) const
    {
        const std::string extension = std::filesystem::path(real).extension().string();
        const std::string whole = readFile(real);
        EXPECT_GT(whole.size(), 100u) << real;
        std::mt19937 generator(20180101);
        std::string noise(4096, '\0');
        for (char& c : noise)
            c = static_cast<char>(generator() & 0xFF);
        return {dir + "/missing" + extension, write("empty" + extension, ""),
            write("half" + extension, whole.substr(0, whole.size() / 2)), write("random" + extension, noise)};
    }

    std::string dir;
};

} // namespace

// libpng stops at the cut with a read error and FreeType checks the table directory against the length, so
// pictures and fonts refuse all four files, and so does the XML parser; a wave or an MP3 cut short still
// loads (below).
TEST_F(BadAssetTest, EveryLoaderRefusesWhatItCannotRead)
{
    const struct {
        std::string real, kind;
        std::function<void(const std::string&)> load;
        bool toleratesCut;
    } loaders[] = {{kPng, "Texture", [](const std::string& path) { Texture texture(path); }, false},
        {kPng, "Surface", [](const std::string& path) { Surface surface(path, Color(255, 0, 255, 255)); }, false},
        {kWav, "Sound", [](const std::string& path) { Sound sound(path); }, true},
        {kMp3, "Music", [](const std::string& path) { Music music(path); }, true},
        {kTtf, "Font", [](const std::string& path) { Font font(path, 22); }, false},
        {kXml, "Animation", [](const std::string& path) { Animation animation(path, 1); }, false}};
    for (const auto& loader : loaders) {
        const std::vector<std::string> files = badFiles(loader.real);
        for (size_t i = 0; i < files.size(); ++i) {
            if (i == 2 && loader.toleratesCut)
                continue;
            // A missing animation is the file reader's failure; text that is not well-formed XML is refused
            // with the parser's reason and where it stopped, even when frames before a cut were read.
            const bool isXml = loader.kind == "Animation";
            const std::string kind = isXml && i == 0 ? "File" : loader.kind;
            std::string reason;
            if (isXml && i > 0) {
                const AnimationData data = Animation::parse(readFile(files[i]));
                ASSERT_FALSE(data.parseError.empty()) << files[i];
                reason = " Broken XML: " + data.parseError + " at byte " + std::to_string(data.parseErrorOffset) + ".";
            }
            expectFatal([&] { loader.load(files[i]); }, kind + " " + files[i] + " failed load!" + reason);
        }
    }
}

TEST_F(BadAssetTest, CutWavAndMp3FilesLoadWhatIsThere)
{
    // A wave keeps its header, which still claims the whole data chunk: SDL drops the missing sample frames.
    const Sound whole(kWav);
    Sound half(badFiles(kWav)[2]);
    EXPECT_GT(half.handle()->alen, 0u);
    EXPECT_LT(half.handle()->alen, whole.handle()->alen);
    half.play();
    EXPECT_GE(Mix_Playing(-1), 1);
    Mix_HaltChannel(-1);
    // libmpg123 resynchronises on the next frame header: the first half is a shorter piece.
    Music music(badFiles(kMp3)[2]);
    EXPECT_EQ(Mix_GetMusicType(music.handle()), MUS_MP3);
    music.play(0);
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    Mix_HaltMusic();
}

// A frame without a width or a height could never be drawn: refused, naming the frame.
TEST_F(BadAssetTest, AnimationFramesWithoutWidthOrHeightEndTheProgram)
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

// A scratch working directory with a link to the real data and a regular file named userData, so that
// neither the log nor the report can be written.
TEST_F(BadAssetTest, WhereUserDataCannotBeMadeTheGameRunsAndAFatalErrorStillSpeaks)
{
    const std::string blocked = dir + "/blocked";
    std::filesystem::create_directories(blocked);
    std::filesystem::create_directory_symlink(std::filesystem::absolute("data"), blocked + "/data");
    std::ofstream(blocked + "/userData") << "a file, not a folder";
    const std::string absolute = std::filesystem::absolute(blocked).string();
#ifdef DUELFALL_SIM_PATH
    const std::string command = "cd '" + absolute
        + "' && timeout -s KILL 120 " DUELFALL_SIM_PATH " --frames 30 --seed 1 > sim.out 2> sim.err";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << readFile(blocked + "/sim.err");
    EXPECT_NE(readFile(blocked + "/sim.out").find("\"frames\":30"), std::string::npos);
#endif
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            if (chdir(absolute.c_str()) == 0)
                Sound sound("data/sfx/none.wav");
        },
        ::testing::ExitedWithCode(1), "Error! Sound data/sfx/none\\.wav failed load!");
    EXPECT_EQ(readFile(blocked + "/userData"), "a file, not a folder");
}
