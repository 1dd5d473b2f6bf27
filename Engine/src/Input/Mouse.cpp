#include "Input/Mouse.h"

#include "Core/Core.h"
#include "Input/CoordinateMapping.h"
#include "Input/Window.h"

#include <SDL_mouse.h>

namespace {

// SDL numbers buttons from 1; button n is bit n - 1 of the mask. Numbers outside the mask are never held.
bool hasButton(uint32_t mask, int button) { return button >= 1 && button <= 32 && (mask & (1u << (button - 1))) != 0; }

} // namespace

Mouse::Mouse()
{
    // Window coordinates: there is no logical size yet to map them to.
    buttons_ = SDL_GetMouseState(&position_.x, &position_.y);
}

void Mouse::takeSnapshot()
{
    previousPosition_ = position_;
    previousButtons_ = buttons_;
    Point window;
    buttons_ = SDL_GetMouseState(&window.x, &window.y);
    position_ = toLogical(window);
}

bool Mouse::isButtonPressed(int button) const
{
    return hasButton(buttons_, button) && !hasButton(previousButtons_, button);
}

bool Mouse::isButtonDown(int button) const { return hasButton(buttons_, button); }

bool Mouse::isButtonReleased(int button) const
{
    return !hasButton(buttons_, button) && hasButton(previousButtons_, button);
}

void warpMouse(Point logical)
{
    Core& core = Core::instance();
    if (!core.hasWindow())
        return;
    const Point window = toWindow(logical);
    SDL_WarpMouseInWindow(core.window().handle(), window.x, window.y);
}
