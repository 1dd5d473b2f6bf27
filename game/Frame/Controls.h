#pragma once

#include "Settings/Settings.h"

// The keys and pad buttons the player's own devices are read with, and how hard a hit shakes the pads.
// Bindings are no part of the world: a replay keeps game keys, and a scripted keyboard (a replay played
// back, a bot, a test) is always read with the default keys.
struct Controls {
    std::array<std::vector<SDL_Scancode>, kActionCount> keys;
    std::array<std::vector<SDL_GameControllerButton>, kPadActionCount> padButtons;
    int rumble = kDefaultRumble; // percent

    const std::vector<SDL_Scancode>& keysOf(Action action) const { return keys[static_cast<size_t>(action)]; }
    const std::vector<SDL_GameControllerButton>& buttonsOf(PadAction action) const
    {
        return padButtons[static_cast<size_t>(action)];
    }
};

Controls controlsOf(const Settings& settings);
const Controls& defaultControls();
// The controls in force for the live keyboard and pads; the defaults until bound.
const Controls& boundControls();
void bindControls(const Controls& controls);
