#include "System/HeadlessDrivers.h"

#include <cstdlib>

#ifdef _WIN32

void useHeadlessDrivers() { _putenv_s("SDL_AUDIODRIVER", "dummy"); }

#else

void useHeadlessDrivers()
{
    unsetenv("DISPLAY");
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

#endif
