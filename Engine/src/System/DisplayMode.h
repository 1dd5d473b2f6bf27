#pragma once

#include "Math/Size.h"

#include <cstdint>

// Changing the screen's video mode for full-screen play and going back to the desktop's.
//
// Windows: the primary display's mode is changed at once, 32 bits per pixel, for full screen
// (ChangeDisplaySettingsW with CDS_FULLSCREEN); the result is the Windows code, 0 on success.
// Linux: the mode closest to the request becomes the core's window's full-screen mode (SDL), taking
// effect at once while the window is full screen and otherwise when it next goes full screen; 0 on
// success, SDL's negative result when there is no window or no mode close enough (SDL_GetError tells).

// Size in screen pixels, refresh rate in Hz.
int32_t setDisplayMode(Size size, int32_t refreshRate);
// Back to the desktop's own mode.
int32_t restoreDisplayMode();
