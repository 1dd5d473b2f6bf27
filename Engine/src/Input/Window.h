#pragma once

#include "Math/Point.h"
#include "Math/Rect.h"
#include "Math/Size.h"

#include <SDL_video.h>

#include <optional>
#include <string>

// The game's one SDL window and the size the engine believes it has. Creation failure is fatal
// ("Window failed create!").
class Window {
public:
    Window(const std::string& title, Size size, uint32_t flags);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    SDL_Window* handle() const { return handle_; }
    Size& size() { return size_; }
    Rect rect() const { return {0, 0, size_.w, size_.h}; }

    void setTitle(const std::string& title);
    void setPosition(Point position);
    void setSize(Size size);
    void show();
    void hide();

    bool isFullscreen() const;
    // A real video-mode change; leaving it restores the stored size.
    void toggleFullscreen();
    void toggleDesktopFullscreen();
    // Only while full screen; otherwise nothing.
    void setDisplayMode(const SDL_DisplayMode& mode);
    SDL_DisplayMode currentDisplayMode(int displayIndex) const;
    Size displaySize(int displayIndex) const;
    std::optional<SDL_DisplayMode> closestDisplayMode(int displayIndex, Size size) const;
    // Sets "SDL_RENDER_SCALE_QUALITY" to "1" (linear) or "0" (nearest) and applies the stored size again.
    void setScaleQuality(bool linear);

private:
    void enterFullscreen(uint32_t mode);
    void leaveFullscreen();

    SDL_Window* handle_ = nullptr;
    Size size_;
    // Where the window was before full screen, to return to where no window manager remembers it.
    Rect windowedArea_;
};
