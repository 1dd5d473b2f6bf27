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
// pictures and fonts refuse all four files; a wave or an MP3 cut short still loads (below).
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
        {kXml, "Animation", [](const std::string& path) { Animation animation(path, 1); }, true}};
    for (const auto& loader : loaders) {
        const std::vector<std::string> files = badFiles(loader.real);
        for (size_t i = 0; i < files.size(); ++i) {
            if (i == 2 && loader.toleratesCut)
                continue;
            // A missing animation is the file reader's failure; an empty or random one has no frame.
            const std::string kind = loader.kind == "Animation" && i == 0 ? "File" : loader.kind;
            expectFatal([&] { loader.load(files[i]); }, kind + " " + files[i] + " failed load!");
        }
    }
}

TEST_F(BadAssetTest, CutWavMp3AndAnimationFilesLoadWhatIsThere)
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
    // The parser keeps what it built before the cut: the walk's first half ends after its third frame.
    const Animation walk(kXml, 1);
    Animation cut(badFiles(kXml)[2], 1);
    ASSERT_EQ(cut.frames().size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(cut.frames()[i], walk.frames()[i]) << i;
    EXPECT_EQ(cut.rect().size(), Size(46, 68));
    std::vector<uint32_t> shown;
    for (int i = 0; i < 15; ++i) {
        cut.update();
        shown.push_back(cut.current());
    }
    // 80 ms a frame at 60 fps: a new frame on every fifth update, the fourth after the third is the first.
    EXPECT_EQ(shown[4], 1u);
    EXPECT_EQ(shown[9], 2u);
    EXPECT_EQ(shown[14], 0u);
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
