#include "Frame/GamepadKeys.h"

#include "Core/Core.h"

namespace {

bool stickPast(const GameControllers& pads, SDL_GameControllerAxis axis, int sign)
{
    return pads.axis(axis) * sign > kStickDeadZone;
}

} // namespace

GameKeys readGamepadKeys(const GameControllers& pads)
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
    keys.set(GameKey::Jump, pads.isButtonDown(SDL_CONTROLLER_BUTTON_A));
    keys.set(GameKey::Fire,
        pads.isButtonDown(SDL_CONTROLLER_BUTTON_X) || stickPast(pads, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 1));
    keys.set(GameKey::Enter, pads.isButtonDown(SDL_CONTROLLER_BUTTON_START));
    return keys;
}

GameKeys readFrameKeys()
{
    const Keyboard& keyboard = Core::keyboard();
    GameKeys keys = readGameKeys(keyboard);
    if (!keyboard.isScripted())
        keys.held |= readGamepadKeys(Core::instance().input().controllers()).held;
    return keys;
}
