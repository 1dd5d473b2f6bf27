#include "Shell/FullscreenKeys.h"

#include "Input/Input.h"
#include "Input/Window.h"

namespace {

bool isFullscreenKey(const SDL_Keysym& key)
{
    const bool enter = key.scancode == SDL_SCANCODE_RETURN || key.scancode == SDL_SCANCODE_KP_ENTER;
    return key.scancode == SDL_SCANCODE_F11 || (enter && (key.mod & KMOD_ALT) != 0);
}

} // namespace

bool toggleFullscreenOnKey(const Input& input, Window& window)
{
    bool toggled = false;
    for (const SDL_Keysym& key : input.keyPresses())
        if (isFullscreenKey(key)) {
            window.toggleDesktopFullscreen();
            toggled = true;
        }
    return toggled;
}
