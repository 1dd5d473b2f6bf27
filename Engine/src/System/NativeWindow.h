#pragma once

#include <SDL_video.h>

// The operating system's own handle of an SDL window, taken from SDL_GetWindowWMInfo: the HWND on
// Windows, the X11 window id (as a pointer-sized value) or the Wayland surface on Linux. Null when SDL
// cannot tell, e.g. for a null window or the offscreen video driver.
void* nativeWindowHandle(SDL_Window* window);
