#include "Audio/Sound.h"

#include "Core/Core.h"

#include <utility>

namespace {

// The first free channel, played once (no extra loops), with no time limit.
constexpr int kFirstFreeChannel = -1;
constexpr int kNoExtraLoops = 0;
constexpr int kNoTimeLimit = -1;

} // namespace

// A file that cannot be opened gives a null stream, which the mixer refuses like a bad file.
Sound::Sound(const std::string& path)
    : handle_(Mix_LoadWAV_RW(SDL_RWFromFile(path.c_str(), "rb"), 1))
{
    if (handle_ == nullptr)
        fatalError("Sound " + path + " failed load!");
}

Sound::~Sound()
{
    if (handle_ != nullptr)
        Mix_FreeChunk(handle_);
}

Sound::Sound(Sound&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr))
{
}

Sound& Sound::operator=(Sound&& other) noexcept
{
    if (this != &other) {
        if (handle_ != nullptr)
            Mix_FreeChunk(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

void Sound::play() { Mix_PlayChannelTimed(kFirstFreeChannel, handle_, kNoExtraLoops, kNoTimeLimit); }

void Sound::setVolume(int volume) { Mix_VolumeChunk(handle_, volume); }

void Sound::setChannelVolume(int volume) { Mix_Volume(-1, volume); }
