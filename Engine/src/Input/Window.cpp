#include "Input/Window.h"

#include "Core/Core.h"
#include "System/UnmanagedWindow.h"

#include <SDL_hints.h>

namespace {

// Asked of SDL as "any refresh rate": the closest mode is then the fastest one.
constexpr int kAnyRefreshRate = 2147483647;

} // namespace

Window::Window(const std::string& title, Size size, uint32_t flags)
    : size_(size)
{
    handle_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, size.w, size.h, flags);
    if (handle_ == nullptr)
        fatalError("Window failed create!");
}

Window::~Window()
{
    if (handle_ != nullptr)
        SDL_DestroyWindow(handle_);
}

void Window::setTitle(const std::string& title) { SDL_SetWindowTitle(handle_, title.c_str()); }

void Window::setPosition(Point position) { SDL_SetWindowPosition(handle_, position.x, position.y); }

void Window::setSize(Size size)
{
    size_ = size;
    SDL_SetWindowSize(handle_, size.w, size.h);
}

void Window::show() { SDL_ShowWindow(handle_); }

void Window::hide() { SDL_HideWindow(handle_); }

bool Window::isFullscreen() const { return (SDL_GetWindowFlags(handle_) & SDL_WINDOW_FULLSCREEN) != 0; }

void Window::toggleFullscreen()
{
    if (isFullscreen()) {
        leaveFullscreen();
        // The video mode change may have resized the window; the stored size is the one to return to.
        SDL_SetWindowSize(handle_, size_.w, size_.h);
    } else {
        enterFullscreen(SDL_WINDOW_FULLSCREEN);
    }
}

void Window::toggleDesktopFullscreen()
{
    if (isFullscreen())
        leaveFullscreen();
    else
        enterFullscreen(SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void Window::enterFullscreen(uint32_t mode)
{
    SDL_GetWindowPosition(handle_, &windowedArea_.x, &windowedArea_.y);
    SDL_GetWindowSize(handle_, &windowedArea_.w, &windowedArea_.h);
    const bool unmanaged = isUnmanagedWindow(handle_);
    SDL_SetWindowFullscreen(handle_, mode);
    SDL_Rect display{};
    if (unmanaged && SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(handle_), &display) == 0)
        placeUnmanagedWindow(handle_, {display.x, display.y, display.w, display.h});
}

void Window::leaveFullscreen()
{
    SDL_SetWindowFullscreen(handle_, 0);
    if (isUnmanagedWindow(handle_))
        placeUnmanagedWindow(handle_, windowedArea_);
}

void Window::setDisplayMode(const SDL_DisplayMode& mode)
{
    if (isFullscreen())
        SDL_SetWindowDisplayMode(handle_, &mode);
}

SDL_DisplayMode Window::currentDisplayMode(int displayIndex) const
{
    SDL_DisplayMode mode{};
    SDL_GetCurrentDisplayMode(displayIndex, &mode);
    return mode;
}

Size Window::displaySize(int displayIndex) const
{
    const SDL_DisplayMode mode = currentDisplayMode(displayIndex);
    return {mode.w, mode.h};
}

std::optional<SDL_DisplayMode> Window::closestDisplayMode(int displayIndex, Size size) const
{
    const SDL_DisplayMode wanted{SDL_PIXELFORMAT_RGB888, size.w, size.h, kAnyRefreshRate, nullptr};
    SDL_DisplayMode closest{};
    if (SDL_GetClosestDisplayMode(displayIndex, &wanted, &closest) == nullptr)
        return std::nullopt;
    return closest;
}

void Window::setScaleQuality(bool linear)
{
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, linear ? "1" : "0");
    SDL_SetWindowSize(handle_, size_.w, size_.h);
}
