#pragma once

#include "Input/Keyboard.h"
#include "Replay/Replay.h"

#include <optional>
#include <string>

struct World;

// Plays a replay back: the keys of each frame, and the world compared with the recorded one at every
// checkpoint and after the last frame. Used alike by the game's window and by the simulator.
class ReplayPlayer {
public:
    explicit ReplayPlayer(Replay replay);

    // Restarts the random generator from the recorded seed and gives the player the recorded jump
    // buffer; call before the first frame.
    void start(World& world) const;
    long frames() const { return replay_.frames; }
    const std::string& gameVersion() const { return replay_.gameVersion; }
    // The keyboard to hold during a frame, numbered from 1.
    Keyboard::State keysAt(long frame) const;
    // After a frame has been drawn: "desync at frame N: expected ..., got ..." at the first frame
    // where the world differs from the recorded one, nothing otherwise.
    std::optional<std::string> check(long frame, World& world);

private:
    Replay replay_;
    size_t nextCheckpoint_ = 0;
};
