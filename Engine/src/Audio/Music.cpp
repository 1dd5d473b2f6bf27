#include "Audio/Music.h"

#include "Core/Core.h"

#include <utility>

Music::Music(const std::string& path)
    : handle_(Mix_LoadMUS(path.c_str()))
{
    if (handle_ == nullptr)
        fatalError("Music " + path + " failed load!");
}

Music::~Music()
{
    if (handle_ != nullptr)
        Mix_FreeMusic(handle_);
}

Music::Music(Music&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr))
    , played_(std::exchange(other.played_, false))
{
}

Music& Music::operator=(Music&& other) noexcept
{
    if (this != &other) {
        if (handle_ != nullptr)
            Mix_FreeMusic(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
        played_ = std::exchange(other.played_, false);
    }
    return *this;
}

// The frame update calls this every frame; the piece is started once and never restarted.
void Music::pause() { Mix_PauseMusic(); }

void Music::resume() { Mix_ResumeMusic(); }

void Music::play(int loops)
{
    if (played_)
        return;
    Mix_PlayMusic(handle_, loops);
    played_ = true;
}

void Music::setVolume(int volume) { Mix_VolumeMusic(volume); }
