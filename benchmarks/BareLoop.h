#pragma once

#include <SDL.h>

#include <string>

// The peer of the engine's frame: a bare SDL program on the same kind of renderer (the first
// accelerated driver, OpenGL here) that draws into a 1024 x 720 target texture and stretches it to the
// window, with nothing of the engine in between. SDL itself must already be initialised.
class BareLoop {
public:
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 720;

    BareLoop();
    ~BareLoop();
    BareLoop(const BareLoop&) = delete;
    BareLoop& operator=(const BareLoop&) = delete;

    // The one picture a frame draws; without it a frame only clears.
    void loadBackground(const std::string& path);
    void show();
    // Drains the event queue, clears the target, copies the picture into it, clears the window and
    // stretches the target over it, presents.
    void runFrame();
    // Reads one pixel of the window back, which waits until every queued drawing is done.
    void readOnePixel();
    std::string rendererName() const;

private:
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* target_ = nullptr;
    SDL_Texture* background_ = nullptr;
    SDL_Rect backgroundRect_{0, 0, 0, 0};
};
