#include "System/DisplayMode.h"

#ifdef _WIN32
#include "System/WindowsHeaders.h"
#else
#include "Core/Core.h"
#include "Input/Window.h"

#include <SDL_video.h>
#endif

#ifdef _WIN32

namespace {
constexpr DWORD kFullScreenBitsPerPixel = 32;
}

int32_t setDisplayMode(Size size, int32_t refreshRate)
{
    DEVMODEW mode = {};
    mode.dmSize = sizeof(DEVMODEW); // 220 bytes
    // Mode 0 of the primary display supplies every field this request leaves alone, the field mask too.
    EnumDisplaySettingsW(nullptr, 0, &mode);
    mode.dmBitsPerPel = kFullScreenBitsPerPixel;
    mode.dmPelsWidth = static_cast<DWORD>(size.w);
    mode.dmPelsHeight = static_cast<DWORD>(size.h);
    mode.dmDisplayFrequency = static_cast<DWORD>(refreshRate);
    return ChangeDisplaySettingsW(&mode, CDS_FULLSCREEN);
}

int32_t restoreDisplayMode() { return ChangeDisplaySettingsW(nullptr, 0); }

#else

namespace {

// SDL's name for a desktop of 32 bits per pixel without alpha.
constexpr uint32_t kFullScreenFormat = SDL_PIXELFORMAT_RGB888;

SDL_Window* coreWindow()
{
    Core& core = Core::instance();
    return core.hasWindow() ? core.window().handle() : nullptr;
}

} // namespace

int32_t setDisplayMode(Size size, int32_t refreshRate)
{
    SDL_Window* window = coreWindow();
    if (window == nullptr)
        return SDL_SetError("No window for a display mode");
    const int display = SDL_GetWindowDisplayIndex(window);
    if (display < 0)
        return display;
    const SDL_DisplayMode wanted = {kFullScreenFormat, size.w, size.h, refreshRate, nullptr};
    SDL_DisplayMode closest = {};
    if (SDL_GetClosestDisplayMode(display, &wanted, &closest) == nullptr)
        return -1; // SDL has said why
    return SDL_SetWindowDisplayMode(window, &closest);
}

int32_t restoreDisplayMode()
{
    SDL_Window* window = coreWindow();
    if (window == nullptr)
        return SDL_SetError("No window for a display mode");
    const int display = SDL_GetWindowDisplayIndex(window);
    if (display < 0)
        return display;
    SDL_DisplayMode desktop = {};
    if (const int result = SDL_GetDesktopDisplayMode(display, &desktop); result != 0)
        return result;
    return SDL_SetWindowDisplayMode(window, &desktop);
}

#endif
