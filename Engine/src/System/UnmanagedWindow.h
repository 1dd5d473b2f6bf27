#pragma once

#include "Math/Rect.h"

#include <SDL_video.h>

// On an X11 display with no window manager running, nobody carries out SDL's full-screen request: SDL
// reports the desktop's size while the X window keeps its own, and the picture is laid out for a window
// it is not drawn in (cut off at the right and bottom), before and after the way back. There the engine
// does the window manager's part itself. Everywhere else (Windows, Wayland, a desktop with a window
// manager, the offscreen driver) these do nothing.

// Whether the window is an X11 window on a display with no window manager.
bool isUnmanagedWindow(SDL_Window* window);
// Moves and sizes the X window to `area` (in screen coordinates) and waits for the X server to do so.
void placeUnmanagedWindow(SDL_Window* window, Rect area);
