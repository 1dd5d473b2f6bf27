#pragma once

#include <SDL_surface.h>
#include <SDL_video.h>

class Surface;
class Window;

// The window's icons: the big one (task switcher, title bar on most desktops) and the small one
// (Windows' title bar and task bar). Windows gets icons built from the surfaces' pixels (IconImage);
// Linux gets the big icon through SDL and scales it itself where a small one is needed.

// Sets the big icon and, when one is given, the small icon. The surfaces stay the caller's.
void setIcon(Window& window, const Surface& icon, const Surface* smallIcon = nullptr);

// The two halves of setIcon, for any SDL window. Null arguments change nothing.
void setWindowIcon(SDL_Window* window, SDL_Surface* icon);
void setWindowSmallIcon(SDL_Window* window, SDL_Surface* icon);
