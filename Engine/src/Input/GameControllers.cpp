#include "Input/GameControllers.h"

#include "Utils/LogFile.h"
#include "Utils/Utf8Path.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

SDL_JoystickID idOf(SDL_GameController* pad) { return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)); }

} // namespace

GameControllers::~GameControllers()
{
    // After SDL_Quit the pads are already closed (and their handles gone).
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0)
        return;
    for (SDL_GameController* pad : pads_)
        SDL_GameControllerClose(pad);
}

void GameControllers::handleEvent(const SDL_Event& event)
{
    if (event.type == SDL_CONTROLLERDEVICEADDED)
        open(event.cdevice.which);
    else if (event.type == SDL_CONTROLLERDEVICEREMOVED)
        close(event.cdevice.which);
}

void GameControllers::open(int deviceIndex)
{
    if (std::any_of(pads_.begin(), pads_.end(), [deviceIndex](SDL_GameController* pad) {
            return idOf(pad) == SDL_JoystickGetDeviceInstanceID(deviceIndex);
        }))
        return;
    SDL_GameController* pad = SDL_GameControllerOpen(deviceIndex);
    if (pad == nullptr) {
        // A pad that cannot be opened is left out; the keyboard still plays.
        writeLogLine(logFile(), std::string("Game controller not opened: ") + SDL_GetError(), true);
        return;
    }
    pads_.push_back(pad);
    const char* name = SDL_GameControllerName(pad);
    writeLogLine(logFile(), std::string("Game controller connected: ") + (name != nullptr ? name : "unnamed"), false);
}

void GameControllers::close(SDL_JoystickID id)
{
    const auto found
        = std::find_if(pads_.begin(), pads_.end(), [id](SDL_GameController* pad) { return idOf(pad) == id; });
    if (found == pads_.end())
        return;
    SDL_GameControllerClose(*found);
    pads_.erase(found);
    removedSincePoll_ = true;
    writeLogLine(logFile(), "Game controller removed", false);
}

void GameControllers::takeSnapshot()
{
    if (!started_ && SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        started_ = true;
        if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
            writeLogLine(logFile(), std::string("No game controllers: ") + SDL_GetError(), true);
        else
            addMappings();
    }
    removedLastPoll_ = removedSincePoll_;
    removedSincePoll_ = false;
    previous_ = current_;
    current_ = State{};
    for (SDL_GameController* pad : pads_) {
        for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b)
            current_.buttons[b] = current_.buttons[b]
                || SDL_GameControllerGetButton(pad, static_cast<SDL_GameControllerButton>(b)) != 0;
        for (int a = 0; a < SDL_CONTROLLER_AXIS_MAX; ++a) {
            const int16_t value = SDL_GameControllerGetAxis(pad, static_cast<SDL_GameControllerAxis>(a));
            if (std::abs(value) > std::abs(current_.axes[a]))
                current_.axes[a] = value;
        }
    }
}

void GameControllers::addMappings() const
{
    std::error_code error;
    if (mappingsFile_.empty() || !std::filesystem::is_regular_file(pathFromUtf8(mappingsFile_), error))
        return;
    // Pads already connected that a new mapping names are announced again as game controllers.
    const int added = SDL_GameControllerAddMappingsFromFile(mappingsFile_.c_str());
    if (added < 0)
        writeLogLine(logFile(), "Game controller mappings " + mappingsFile_ + " not read: " + SDL_GetError(), true);
    else
        writeLogLine(
            logFile(), "Game controller mappings added from " + mappingsFile_ + ": " + std::to_string(added), false);
}

void GameControllers::rumble(double strength, uint32_t milliseconds)
{
    const auto level = static_cast<uint16_t>(std::clamp(strength, 0.0, 1.0) * 0xFFFF);
    for (SDL_GameController* pad : pads_)
        SDL_GameControllerRumble(pad, level, level, milliseconds);
}

bool GameControllers::isButtonDown(SDL_GameControllerButton button) const
{
    return button >= 0 && button < SDL_CONTROLLER_BUTTON_MAX && current_.buttons[button];
}

bool GameControllers::isButtonPressed(SDL_GameControllerButton button) const
{
    return isButtonDown(button) && !previous_.buttons[button];
}

int16_t GameControllers::axis(SDL_GameControllerAxis axis) const
{
    if (axis < 0 || axis >= SDL_CONTROLLER_AXIS_MAX)
        return 0;
    return current_.axes[axis];
}
