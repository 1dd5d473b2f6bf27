#include "System/UnmanagedWindow.h"

// Kept apart from the engine's headers: on Linux SDL_syswm.h brings in Xlib, whose macros and types
// (Window, None, Bool) would collide with the engine's names.
#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11) && defined(DUELFALL_X11)
#include <X11/Xatom.h>
#endif

namespace {

#if defined(SDL_VIDEO_DRIVER_X11) && defined(DUELFALL_X11)
bool x11Info(SDL_Window* window, SDL_SysWMinfo& info)
{
    SDL_VERSION(&info.version);
    return window != nullptr && SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11;
}
#endif

} // namespace

bool isUnmanagedWindow(SDL_Window* window)
{
#if defined(SDL_VIDEO_DRIVER_X11) && defined(DUELFALL_X11)
    SDL_SysWMinfo info;
    if (!x11Info(window, info))
        return false;
    // A window manager that follows the desktop conventions names its own window on the root window.
    Display* display = info.info.x11.display;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(
        display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type, &format, &items, &remaining, &data);
    if (data != nullptr)
        XFree(data);
    return status == Success && items == 0;
#else
    (void)window;
    return false;
#endif
}

void placeUnmanagedWindow(SDL_Window* window, Rect area)
{
#if defined(SDL_VIDEO_DRIVER_X11) && defined(DUELFALL_X11)
    SDL_SysWMinfo info;
    if (!x11Info(window, info) || area.w <= 0 || area.h <= 0)
        return;
    XMoveResizeWindow(info.info.x11.display, info.info.x11.window, area.x, area.y, static_cast<unsigned>(area.w),
        static_cast<unsigned>(area.h));
    XSync(info.info.x11.display, False);
#else
    (void)window;
    (void)area;
#endif
}
