#pragma once

#include "Frame/GameKeys.h"
#include "Replay/Replay.h"

struct World;

// The replay of a fight is written out at least this often, in recorded frames (10 seconds), so that a
// game killed or crashed in the middle of it loses no more than that.
inline constexpr long kAutosavePeriod = 600;

// Records the game being played into a replay, in memory. The caller decides which frames count: one
// recordFrame for every update that runs the world (a paused frame is not recorded), then frameDone
// once that frame has been drawn (the restart on Enter happens in the drawing).
class ReplayRecorder {
public:
    // The fight runs with this seed and jump buffer (in frames), both written into the replay's header.
    explicit ReplayRecorder(uint32_t seed, int jumpBuffer = 0);

    void recordFrame(GameKeys keys);
    // The keys of this frame as the world reads them: the keyboard's and the pads' together.
    void recordFrame();
    // Keeps a checkpoint every kCheckpointPeriod frames and the state after the frame. True in the frame
    // in which the game is lost or won, and every kAutosavePeriod frames: a moment to write the replay.
    bool frameDone(World& world);

    // The replay up to the last frame done (a frame recorded but never done is left out).
    Replay replay() const;

private:
    Replay replay_;
    long recorded_ = 0; // frames recorded, the last one perhaps not done yet
    bool wasOver_ = false;
    bool wasWon_ = false;
};
