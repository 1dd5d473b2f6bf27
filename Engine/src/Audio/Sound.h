#pragma once
// Audio: sound effects and music through SDL_mixer. Depends on Core (fatal errors).

#include <SDL_mixer.h>

#include <string>

// A sound effect, owned alone (move-only). Load failure is fatal: "Sound <path> failed load!".
class Sound {
public:
    explicit Sound(const std::string& path);
    ~Sound();
    Sound(Sound&& other) noexcept;
    Sound& operator=(Sound&& other) noexcept;
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // Plays once on the first free channel; with no free channel it is simply not heard.
    void play();
    // 0 to 128.
    void setVolume(int volume);
    // The volume of every mixer channel, 0 to 128: it scales each sound's own volume.
    static void setChannelVolume(int volume);
    Mix_Chunk* handle() const { return handle_; }

private:
    Mix_Chunk* handle_ = nullptr;
};
