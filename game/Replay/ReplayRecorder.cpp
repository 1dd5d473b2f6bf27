#include "Replay/ReplayRecorder.h"

#include "Fight/World.h"
#include "Frame/GamepadKeys.h"

#include <algorithm>

ReplayRecorder::ReplayRecorder(uint32_t seed, int jumpBuffer)
{
    replay_.seed = seed;
    replay_.jumpBuffer = jumpBuffer;
}

void ReplayRecorder::recordFrame(GameKeys keys)
{
    ++recorded_;
    if (keys.none())
        return;
    std::vector<Replay::Span>& spans = replay_.spans;
    if (!spans.empty() && spans.back().to == recorded_ - 1 && spans.back().keys == keys)
        spans.back().to = recorded_;
    else
        spans.push_back({recorded_, recorded_, keys});
}

void ReplayRecorder::recordFrame() { recordFrame(readFrameKeys()); }

bool ReplayRecorder::frameDone(World& world)
{
    if (replay_.frames == recorded_)
        return false; // no frame recorded since the last call
    replay_.frames = recorded_;
    replay_.end = worldStateOf(world);
    if (recorded_ % kCheckpointPeriod == 0)
        replay_.checkpoints.push_back({recorded_, replay_.end.checksum});

    const bool over = world.player.isFinished();
    const bool won = world.boss02.isFinished();
    const bool ended = (over && !wasOver_) || (won && !wasWon_);
    wasOver_ = over;
    wasWon_ = won;
    return ended || recorded_ % kAutosavePeriod == 0;
}

Replay ReplayRecorder::replay() const
{
    Replay done = replay_;
    std::erase_if(done.spans, [&](const Replay::Span& span) { return span.from > done.frames; });
    if (!done.spans.empty())
        done.spans.back().to = std::min(done.spans.back().to, done.frames);
    return done;
}
