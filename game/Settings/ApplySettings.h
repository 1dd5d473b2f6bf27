#pragma once

#include "Settings/Settings.h"

#include <string>

struct World;

// The player's settings put into the game at once: volumes, full screen, scaling, key and pad
// bindings, rumble, the timer and the victory message's language. The jump buffer changes the world
// and is left out: a fight takes it when it starts (GameSession), never in the middle of a recording.
void applySettings(const Settings& settings, World& world);

// The files under userData/: settings.ini, records.ini and the pads' gamecontrollerdb.txt.
std::string settingsPath();
std::string recordsPath();
std::string controllerMappingsPath();
