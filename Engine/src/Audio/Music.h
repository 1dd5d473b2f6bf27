#pragma once

#include <SDL_mixer.h>

#include <string>

// A streamed music piece, owned alone (move-only). Load failure is fatal: "Music <path> failed load!".
class Music {
public:
    explicit Music(const std::string& path);
    ~Music();
    Music(Music&& other) noexcept;
    Music& operator=(Music&& other) noexcept;
    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;

    // Only the first call plays (loops: -1 for ever); later calls are ignored, even after the end.
    void play(int loops);
    bool wasPlayed() const { return played_; }
    // Holds the music where it is and goes on from there; nothing if no music plays.
    void pause();
    void resume();
    // The mixer's one music volume, 0 to 128.
    void setVolume(int volume);
    Mix_Music* handle() const { return handle_; }

private:
    Mix_Music* handle_ = nullptr;
    bool played_ = false;
};
