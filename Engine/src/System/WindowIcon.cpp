#include "System/WindowIcon.h"

#include "Graphics/Surface.h"
#include "Input/Window.h"

#ifdef _WIN32
#include "System/IconImage.h"
#include "System/NativeWindow.h"

#include "System/WindowsHeaders.h"

#include <cstdint>
#include <vector>
#endif

#ifdef _WIN32

namespace {

constexpr DWORD kIconFormatVersion = 0x00030000;

// Null if the surface cannot be read or Windows refuses the image.
HICON createIconFromSurface(SDL_Surface* surface)
{
    std::vector<uint8_t> image = iconImage(surface);
    if (image.empty())
        return nullptr;
    return CreateIconFromResource(image.data(), static_cast<DWORD>(image.size()), TRUE, kIconFormatVersion);
}

// The window keeps showing the icon; its handle is not kept, so it lives until the process ends.
void sendIcon(SDL_Window* window, SDL_Surface* surface, WPARAM size)
{
    if (window == nullptr || surface == nullptr)
        return;
    HWND handle = static_cast<HWND>(nativeWindowHandle(window));
    HICON icon = createIconFromSurface(surface);
    if (handle == nullptr || icon == nullptr)
        return;
    SendMessageW(handle, WM_SETICON, size, reinterpret_cast<LPARAM>(icon));
}

} // namespace

void setWindowIcon(SDL_Window* window, SDL_Surface* icon) { sendIcon(window, icon, ICON_BIG); }

void setWindowSmallIcon(SDL_Window* window, SDL_Surface* icon) { sendIcon(window, icon, ICON_SMALL); }

#else

void setWindowIcon(SDL_Window* window, SDL_Surface* icon)
{
    if (window == nullptr || icon == nullptr)
        return;
    // SDL keeps its own ARGB8888 copy; the caller's surface is only read.
    SDL_SetWindowIcon(window, icon);
}

// X11 and Wayland windows carry one icon that the desktop scales; the big one serves both sizes.
void setWindowSmallIcon(SDL_Window* /*window*/, SDL_Surface* /*icon*/) { }

#endif

void setIcon(Window& window, const Surface& icon, const Surface* smallIcon)
{
    setWindowIcon(window.handle(), icon.handle());
    if (smallIcon != nullptr)
        setWindowSmallIcon(window.handle(), smallIcon->handle());
}
