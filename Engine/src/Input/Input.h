#pragma once
// Input: the window and everything the user did since the previous frame. Depends on Core (the
// window and logical size for coordinate mapping), Math and Utils (the log line on resize).

#include "Input/Keyboard.h"
#include "Input/Mouse.h"
#include "Input/TextInput.h"

#include <SDL_events.h>

class Input {
public:
    Input() = default;

    // Drains SDL's event queue (quit, wheel, focus, size, typed text), then takes new keyboard and
    // mouse snapshots.
    void pollEvents();

    Keyboard& keyboard() { return keyboard_; }
    Mouse& mouse() { return mouse_; }
    TextInput& textInput() { return textInput_; }
    bool isRunning() const { return running_; }
    bool isFocused() const { return focused_; }
    bool wasResized() const { return resized_; }
    void stop() { running_ = false; }

private:
    void handleWindowEvent(const SDL_WindowEvent& event);

    SDL_Event event_{};
    Mouse mouse_;
    Keyboard keyboard_;
    TextInput textInput_;
    bool running_ = true;
    bool focused_ = true;
    bool resized_ = false;
};
