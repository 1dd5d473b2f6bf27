#include "Replay/ReplayPlayer.h"

#include "Fight/World.h"
#include "Math/Random.h"

ReplayPlayer::ReplayPlayer(Replay replay)
    : replay_(std::move(replay))
{
}

void ReplayPlayer::start(World& world) const
{
    Random::seed(replay_.seed);
    world.player.setJumpBuffer(replay_.jumpBuffer);
}

Keyboard::State ReplayPlayer::keysAt(long frame) const { return keyboardStateOf(replay_.keysAt(frame)); }

std::optional<std::string> ReplayPlayer::check(long frame, World& world)
{
    const std::vector<Replay::Checkpoint>& checkpoints = replay_.checkpoints;
    while (nextCheckpoint_ < checkpoints.size() && checkpoints[nextCheckpoint_].frame < frame)
        ++nextCheckpoint_;
    const WorldState state = worldStateOf(world);
    const std::string at = "desync at frame " + std::to_string(frame) + ": expected ";
    if (frame == replay_.frames && !(state == replay_.end))
        return at + replay_.end.describe() + ", got " + state.describe();
    if (nextCheckpoint_ < checkpoints.size() && checkpoints[nextCheckpoint_].frame == frame
        && checkpoints[nextCheckpoint_].checksum != state.checksum)
        return at + "checksum " + checksumText(checkpoints[nextCheckpoint_].checksum) + ", got " + state.describe();
    return std::nullopt;
}
