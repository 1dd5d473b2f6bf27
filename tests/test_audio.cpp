// Sound effects and music: loading, the fatal messages of missing files, volume and starting the music
// once however often the frame update asks for it.

#include "Audio/Music.h"
#include "Audio/Sound.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

namespace {

void put16(std::ofstream& out, uint16_t v) { out.put(char(v & 0xFF)).put(char(v >> 8)); }
void put32(std::ofstream& out, uint32_t v)
{
    put16(out, uint16_t(v & 0xFFFF));
    put16(out, uint16_t(v >> 16));
}

// A short 16-bit mono PCM wave (a square tone), written by hand: RIFF header, "fmt " and "data" chunks.
std::string writeWave(const std::string& path, uint32_t samples)
{
    constexpr uint32_t kRate = 22050;
    std::ofstream out(path, std::ios::binary);
    out << "RIFF";
    put32(out, 36 + samples * 2);
    out << "WAVEfmt ";
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, kRate);
    put32(out, kRate * 2);
    put16(out, 2);
    put16(out, 16);
    out << "data";
    put32(out, samples * 2);
    for (uint32_t i = 0; i < samples; ++i)
        put16(out, (i / 50) % 2 ? 8000 : uint16_t(-8000));
    return path;
}

std::uintmax_t logSize()
{
    std::error_code error;
    const auto size = std::filesystem::file_size("userData/log.txt", error);
    return error ? 0 : size;
}

class AudioTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        std::filesystem::create_directories("userData");
        startHeadlessCore();
        dir = scratchDirectory("audio");
    }

    std::string dir;
};

} // namespace

TEST_F(AudioTest, MissingFilesEndTheProgramWithTheirKindAndPath)
{
    auto before = logSize();
    EXPECT_EXIT(Sound("scratch/audio/missing.wav"), ::testing::ExitedWithCode(1),
                "Sound scratch/audio/missing.wav failed load!");
    EXPECT_NE(readFile("userData/log.txt").substr(before).find("|ERROR| Sound scratch/audio/missing.wav failed load!"),
              std::string::npos);

    before = logSize();
    EXPECT_EXIT(Music("scratch/audio/missing.mp3"), ::testing::ExitedWithCode(1),
                "Music scratch/audio/missing.mp3 failed load!");
    EXPECT_NE(readFile("userData/log.txt").substr(before).find("|ERROR| Music scratch/audio/missing.mp3 failed load!"),
              std::string::npos);
}

TEST_F(AudioTest, AFileThatIsNoSoundIsALoadFailureToo)
{
    const std::string path = dir + "/text.wav";
    std::ofstream(path) << "not a wave";
    EXPECT_EXIT(Sound{path}, ::testing::ExitedWithCode(1), "Sound scratch/audio/text.wav failed load!");
}

TEST_F(AudioTest, SoundLoadsPlaysAndKeepsItsVolume)
{
    Sound sound(writeWave(dir + "/shot.wav", 2205));
    ASSERT_NE(sound.handle(), nullptr);
    EXPECT_GT(sound.handle()->alen, 0u);
    sound.setVolume(40);
    EXPECT_EQ(Mix_VolumeChunk(sound.handle(), -1), 40);
    sound.play();
    EXPECT_GE(Mix_Playing(-1), 1);
    Mix_HaltChannel(-1);

    // Moving hands the one chunk over; only the new owner frees it.
    Mix_Chunk* chunk = sound.handle();
    Sound moved(std::move(sound));
    EXPECT_EQ(moved.handle(), chunk);
    EXPECT_EQ(sound.handle(), nullptr);
}

TEST_F(AudioTest, MusicStartsOnceHoweverOftenItIsPlayed)
{
    Music music(writeWave(dir + "/theme.wav", 22050));
    EXPECT_FALSE(music.wasPlayed());
    music.setVolume(64);
    EXPECT_EQ(Mix_VolumeMusic(-1), 64);

    music.play(-1);
    EXPECT_TRUE(music.wasPlayed());
    EXPECT_EQ(Mix_PlayingMusic(), 1);

    // Stopped from outside, it is not started again by later calls, as if every frame asked.
    Mix_HaltMusic();
    for (int frame = 0; frame < 3; ++frame)
        music.play(-1);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    EXPECT_TRUE(music.wasPlayed());
}
