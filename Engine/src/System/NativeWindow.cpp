#include "System/NativeWindow.h"

// Kept apart from the engine's headers: on Linux SDL_syswm.h brings in Xlib, whose macros and types
// (Window, None, Bool) would collide with the engine's names.
#include <SDL_syswm.h>

#include <cstdint>

void* nativeWindowHandle(SDL_Window* window)
{
    if (window == nullptr)
        return nullptr;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE)
        return nullptr;
    switch (info.subsystem) {
#if defined(SDL_VIDEO_DRIVER_WINDOWS)
    case SDL_SYSWM_WINDOWS:
        return info.info.win.window;
#endif
#if defined(SDL_VIDEO_DRIVER_X11)
    case SDL_SYSWM_X11:
        return reinterpret_cast<void*>(static_cast<std::uintptr_t>(info.info.x11.window));
#endif
#if defined(SDL_VIDEO_DRIVER_WAYLAND)
    case SDL_SYSWM_WAYLAND:
        return info.info.wl.surface;
#endif
    default:
        return nullptr;
    }
}
