#include "Input/Input.h"

#include "Core/Core.h"
#include "Graphics/Renderer.h"
#include "Input/CoordinateMapping.h"
#include "Input/Window.h"
#include "Utils/LogFile.h"

void Input::pollEvents()
{
    mouse_.setWheel({0, 0});
    resized_ = false;
    keyPresses_.clear();
    keyRepeats_.clear();
    mousePresses_.clear();
    lostFocus_ = false;
    while (SDL_PollEvent(&event_) != 0) {
        switch (event_.type) {
        case SDL_QUIT:
            running_ = false;
            break;
        case SDL_MOUSEWHEEL:
            // A later wheel event of the same poll wins.
            mouse_.setWheel({event_.wheel.x, event_.wheel.y});
            break;
        case SDL_WINDOWEVENT:
            handleWindowEvent(event_.window);
            break;
        case SDL_RENDER_TARGETS_RESET:
        case SDL_RENDER_DEVICE_RESET:
            handleRenderReset(event_.type == SDL_RENDER_DEVICE_RESET);
            break;
        case SDL_MOUSEBUTTONDOWN:
            mousePresses_.push_back({event_.button.button, toLogical(Point{event_.button.x, event_.button.y})});
            break;
        case SDL_KEYDOWN:
            (event_.key.repeat == 0 ? keyPresses_ : keyRepeats_).push_back(event_.key.keysym);
            break;
        default:
            break;
        }
        controllers_.handleEvent(event_);
        if (event_.type == SDL_TEXTINPUT && textInput_.isActive())
            textInput_.append(event_.text.text);
    }
    keyboard_.takeSnapshot();
    mouse_.takeSnapshot();
    controllers_.takeSnapshot();
}

void Input::handleRenderReset(bool deviceLost)
{
    Core& core = Core::instance();
    if (!core.hasRenderer())
        return;
    // The frame's own target is drawn whole every frame; the pictures cached in targets are made again.
    writeLogLine(logFile(), deviceLost ? "Render device reset" : "Render targets reset", false);
    core.renderer().noteTargetsReset();
    // A lost device takes every texture with it, the pictures loaded from files too, and the engine
    // keeps no copy to make them again from.
    if (deviceLost)
        fatalError("The graphics device was reset and the game's pictures were lost with it! Start the game "
                   "again.");
}

void Input::handleWindowEvent(const SDL_WindowEvent& event)
{
    switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_LOST:
        focused_ = false;
        lostFocus_ = true;
        break;
    // A page whose tab is hidden, or a minimised window: the player is elsewhere, as on a focus loss.
    case SDL_WINDOWEVENT_HIDDEN:
    case SDL_WINDOWEVENT_MINIMIZED:
        lostFocus_ = true;
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        focused_ = true;
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
        writeLogLine(logFile(), "Orientation changes", false);
        Core& core = Core::instance();
        // SDL has already resized the window: only the stored size follows, the window is not resized again.
        if (core.hasWindow())
            core.window().size() = {event.data1, event.data2};
        if (core.hasRenderer())
            core.renderer().present();
        resized_ = true;
        break;
    }
    default:
        break;
    }
}
