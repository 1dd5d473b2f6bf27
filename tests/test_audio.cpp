// Sound effects and music: a sound's one chunk, and the music started once however often the frame update
// asks for it. (Bad files are in test_bad_assets.)
#include "Audio/Music.h"
#include "Audio/Sound.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <cstdint>
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

// A 16-bit mono PCM wave at 22 050 Hz (a square tone): RIFF header, "fmt " and "data" chunks.
std::string writeWave(const std::string& path, uint32_t samples)
{
    std::ofstream out(path, std::ios::binary);
    out << "RIFF";
    put32(out, 36 + samples * 2);
    out << "WAVEfmt ";
    for (const uint32_t field : {16u, 1u | (1u << 16), 22050u, 44100u, 2u | (16u << 16)})
        put32(out, field); // chunk size, PCM mono, rate, bytes per second, block align and bits
    out << "data";
    put32(out, samples * 2);
    for (uint32_t i = 0; i < samples; ++i)
        put16(out, (i / 50) % 2 ? 8000 : uint16_t(-8000));
    return path;
}

} // namespace

TEST(Audio, ASoundMovesItsOneChunkAndMusicStartsOnceHoweverOftenItIsPlayed)
{
    startHeadlessCore();
    const std::string dir = scratchDirectory("audio");
    Sound sound(writeWave(dir + "/shot.wav", 2205));
    sound.setVolume(40);
    EXPECT_EQ(Mix_VolumeChunk(sound.handle(), -1), 40);
    Mix_Chunk* chunk = sound.handle();
    Sound moved(std::move(sound));
    EXPECT_EQ(moved.handle(), chunk);
    EXPECT_EQ(sound.handle(), nullptr); // NOLINT(bugprone-use-after-move): only the new owner frees it
    moved.play();
    EXPECT_GE(Mix_Playing(-1), 1);
    Mix_HaltChannel(-1);

    Music music(writeWave(dir + "/theme.wav", 22050));
    EXPECT_FALSE(music.wasPlayed());
    music.play(-1);
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    // Stopped from outside, it is not started again by later calls, as if every frame asked.
    Mix_HaltMusic();
    music.play(-1);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    EXPECT_TRUE(music.wasPlayed());
}
