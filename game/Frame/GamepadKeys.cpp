#include "Frame/GamepadKeys.h"

#include "Core/Core.h"

#include <algorithm>

namespace {

bool stickPast(const GameControllers& pads, SDL_GameControllerAxis axis, int sign)
{
    return pads.axis(axis) * sign > kStickDeadZone;
}

bool anyDown(const GameControllers& pads, const std::vector<SDL_GameControllerButton>& buttons)
{
    return std::any_of(
        buttons.begin(), buttons.end(), [&pads](SDL_GameControllerButton button) { return pads.isButtonDown(button); });
}

} // namespace

GameKeys readGamepadKeys(const GameControllers& pads, const Controls& controls)
{
    GameKeys keys;
    keys.set(GameKey::Left,
        pads.isButtonDown(SDL_CONTROLLER_BUTTON_DPAD_LEFT) || stickPast(pads, SDL_CONTROLLER_AXIS_LEFTX, -1));
    keys.set(GameKey::Right,
        pads.isButtonDown(SDL_CONTROLLER_BUTTON_DPAD_RIGHT) || stickPast(pads, SDL_CONTROLLER_AXIS_LEFTX, 1));
    keys.set(GameKey::Up,
        pads.isButtonDown(SDL_CONTROLLER_BUTTON_DPAD_UP) || stickPast(pads, SDL_CONTROLLER_AXIS_LEFTY, -1));
    keys.set(GameKey::Down,
        pads.isButtonDown(SDL_CONTROLLER_BUTTON_DPAD_DOWN) || stickPast(pads, SDL_CONTROLLER_AXIS_LEFTY, 1));
    keys.set(GameKey::Jump, anyDown(pads, controls.buttonsOf(PadAction::Jump)));
    keys.set(GameKey::Fire,
        anyDown(pads, controls.buttonsOf(PadAction::Fire)) || stickPast(pads, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 1));
    // The button that pauses the fight restarts it once it is over.
    keys.set(GameKey::Enter, anyDown(pads, controls.buttonsOf(PadAction::Pause)));
    return keys;
}

GameKeys readFrameKeys()
{
    const Keyboard& keyboard = Core::keyboard();
    if (keyboard.isScripted())
        return readGameKeys(keyboard);
    GameKeys keys = readGameKeys(keyboard, boundControls());
    keys.held |= readGamepadKeys(Core::instance().input().controllers(), boundControls()).held;
    return keys;
}
