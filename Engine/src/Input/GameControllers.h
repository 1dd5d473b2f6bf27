#pragma once

#include <SDL_events.h>
#include <SDL_gamecontroller.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Every game controller plugged in, through SDL's game-controller API so that any known pad has the
// same named buttons. Pads are opened as they are connected and closed as they are removed, at any
// time; what is read is all pads together (a button is down if it is down on any pad).
class GameControllers {
public:
    GameControllers() = default;
    ~GameControllers();
    GameControllers(const GameControllers&) = delete;
    GameControllers& operator=(const GameControllers&) = delete;

    // Opens a pad on its connection event, closes it on its removal event; other events are ignored.
    void handleEvent(const SDL_Event& event);
    // previous := current, current := the pads' buttons and axes now. The first call starts SDL's
    // game-controller subsystem (once video is up), which then reports the pads already connected.
    void takeSnapshot();

    bool isButtonDown(SDL_GameControllerButton button) const;
    bool isButtonPressed(SDL_GameControllerButton button) const;
    // The value furthest from rest among the pads: sticks -32768..32767, triggers 0..32767.
    int16_t axis(SDL_GameControllerAxis axis) const;
    size_t count() const { return pads_.size(); }
    // Whether a pad was removed during the last poll.
    bool wasPadRemoved() const { return removedLastPoll_; }

    // A file of SDL's controller mappings (a gamecontrollerdb.txt) to add when the subsystem starts, so
    // that pads SDL does not know get named buttons. A missing file is skipped; a bad one is logged.
    void setMappingsFile(const std::string& path) { mappingsFile_ = path; }
    // Shakes every pad that can, both motors at this strength (0 to 1), for the given time.
    void rumble(double strength, uint32_t milliseconds);

private:
    struct State {
        std::array<bool, SDL_CONTROLLER_BUTTON_MAX> buttons{};
        std::array<int16_t, SDL_CONTROLLER_AXIS_MAX> axes{};
    };
    void addMappings() const;
    void open(int deviceIndex);
    void close(SDL_JoystickID id);

    std::vector<SDL_GameController*> pads_;
    State previous_;
    State current_;
    bool started_ = false;
    bool removedSincePoll_ = false;
    bool removedLastPoll_ = false;
    std::string mappingsFile_;
};
