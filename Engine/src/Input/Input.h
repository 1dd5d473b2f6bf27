#pragma once
// Input: the window and everything the user did since the previous frame. Depends on Core (the
// window and logical size for coordinate mapping), Math and Utils (the log line on resize).

#include "Input/GameControllers.h"
#include "Input/Keyboard.h"
#include "Input/Mouse.h"
#include "Input/TextInput.h"

#include <SDL_events.h>

#include <vector>

// A mouse button that went down: SDL's number of the button and where, in logical coordinates.
struct MousePress {
    int button = 0;
    Point position;
};

class Input {
public:
    Input() = default;

    // Drains SDL's event queue (quit, wheel, focus, size, typed text, key presses, game controllers),
    // then takes new keyboard, mouse and controller snapshots.
    void pollEvents();

    Keyboard& keyboard() { return keyboard_; }
    Mouse& mouse() { return mouse_; }
    TextInput& textInput() { return textInput_; }
    GameControllers& controllers() { return controllers_; }
    // The keys that went down during the last poll, in order, auto-repeat left out: a press and release
    // between two polls is still seen here, and so are key events pushed by a program.
    const std::vector<SDL_Keysym>& keyPresses() const { return keyPresses_; }
    // The system's auto-repeat of keys held down during the last poll, for menus that step while a key is held.
    const std::vector<SDL_Keysym>& keyRepeats() const { return keyRepeats_; }
    // The mouse buttons that went down during the last poll, in order: a click too quick for two snapshots
    // to see is still seen here, and so are button events pushed by a program.
    const std::vector<MousePress>& mousePresses() const { return mousePresses_; }
    // Whether the window lost its focus, or was hidden or minimised, during the last poll (even if it got
    // it back in the same poll).
    bool lostFocus() const { return lostFocus_; }
    bool isRunning() const { return running_; }
    bool isFocused() const { return focused_; }
    bool wasResized() const { return resized_; }
    void stop() { running_ = false; }

private:
    void handleWindowEvent(const SDL_WindowEvent& event);
    // Render targets lost their pixels (deviceLost: every texture is gone).
    void handleRenderReset(bool deviceLost);

    SDL_Event event_{};
    Mouse mouse_;
    Keyboard keyboard_;
    TextInput textInput_;
    GameControllers controllers_;
    std::vector<SDL_Keysym> keyPresses_;
    std::vector<SDL_Keysym> keyRepeats_;
    std::vector<MousePress> mousePresses_;
    bool lostFocus_ = false;
    bool running_ = true;
    bool focused_ = true;
    bool resized_ = false;
};
