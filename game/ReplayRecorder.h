#pragma once

#include "GameKeys.h"
#include "Replay.h"

struct World;

// Records the game being played into a replay, in memory. The caller decides which frames count: one
// recordFrame for every update that runs the world (a paused frame is not recorded), then frameDone
// once that frame has been drawn (the restart on Enter happens in the drawing).
class ReplayRecorder {
public:
    explicit ReplayRecorder(uint32_t seed);

    void recordFrame(GameKeys keys);
    // Keeps a checkpoint every kCheckpointPeriod frames and the state after the frame. True in the frame
    // in which the game is lost or won: a moment to write the replay.
    bool frameDone(World& world);

    // The replay up to the last frame done (a frame recorded but never done is left out).
    Replay replay() const;

private:
    Replay replay_;
    long recorded_ = 0; // frames recorded, the last one perhaps not done yet
    bool wasOver_ = false;
    bool wasWon_ = false;
};
