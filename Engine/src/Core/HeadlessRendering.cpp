#include "Core/HeadlessRendering.h"

#include <SDL_hints.h>

void chooseHeadlessRendering()
{
    // Normal priority: SDL lets the environment's values win.
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    // Without it SDL would keep the window's picture in an OpenGL texture and upload it every frame.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
}
