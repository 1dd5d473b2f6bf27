#pragma once

#include "Frame/GameKeys.h"
#include "Input/GameControllers.h"

// Past this much of the stick's travel (of 32767) a direction counts as held; nearer the centre a
// worn stick's drift is ignored. The right trigger fires from the same depth.
inline constexpr int kStickDeadZone = 8000;

#include "Frame/Controls.h"

// The game keys the pads hold: the left stick or the d-pad moves and aims, A (the south button) jumps,
// X (the west button) or the right trigger fires, Start is Enter (it restarts after a game over and
// plays again after the victory); the buttons as bound.
GameKeys readGamepadKeys(const GameControllers& pads, const Controls& controls = defaultControls());

// The game keys of this frame: the keyboard's and the pads' together, read with the bound controls. A
// scripted keyboard (a replay played back, a bot) is the only input, read with the default keys: the
// pads are then left out.
GameKeys readFrameKeys();
