#pragma once

#include "Core/Scene.h"
#include "Frame/Controls.h"
#include "Frame/GameKeys.h"
#include "Input/Keyboard.h"

#include <string>

struct World;

// The six input flags of the player, read from the keyboard of this frame.
struct PlayerInput {
    bool left = false;
    bool right = false;
    bool up = false;
    bool down = false;
    bool jump = false;
    bool fire = false;
};

// A flag is set while any of its keys is held: by default A or Left, D or Right, W or Up, S or Down,
// Space, and either Ctrl or either Shift for fire.
PlayerInput readPlayerInput(const Keyboard& keyboard, const Controls& controls = defaultControls());
// The six flags of a frame's game keys, from whatever device they came.
PlayerInput playerInputOf(GameKeys keys);

// The game's whole per-frame logic: keys to the player, the player, then the boss being fought, and the
// music. Nothing moves once the player has finished dying.
void updateFrame(World& world);

// Paints one frame: arena, player, labels and bars, the boss, and the game-over or victory overlay.
// On the game-over overlay, and under the victory text once it is whole, Enter (or a pad's Start)
// restarts the fight.
void drawFrame(World& world);

// The player and both bosses back to their starting state; no file is read again, the music goes on.
void restartFight(World& world);

// The first bytes of a UTF-8 text, cut back to the last whole character so that no half letter shows.
std::string wholeCharacterPrefix(const std::string& text, size_t bytes);

// The two callables of the game, referring to the world.
Scene makeScene(World& world);
