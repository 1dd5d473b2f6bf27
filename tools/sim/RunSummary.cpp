#include "RunSummary.h"

#include "Fight/World.h"

#include <cstdio>

namespace {

const char* outcomeOf(const World& world)
{
    if (world.player.isFinished())
        return "gameover";
    if (world.boss02.isFinished())
        return "victory";
    return "running";
}

} // namespace

void RunSummary::frameDone(const World& world, double seconds)
{
    ++frames_;
    seconds_ += seconds;
    note("boss2", world.boss01.isFinished());
    note("switch", world.boss02.isTransforming());
    note("victory", world.boss02.isFinished());
    note("gameover", world.player.isFinished());
    if (world.player.isFinished() && !wasOver_)
        ++gameOvers_;
    wasOver_ = world.player.isFinished();
}

std::optional<long> RunSummary::firstSeen(const std::string& event) const
{
    const auto found = firstSeen_.find(event);
    return found == firstSeen_.end() ? std::nullopt : std::optional<long>(found->second);
}

bool RunSummary::reached(const std::string& event, long delay) const
{
    const std::optional<long> seen = firstSeen(event);
    return seen && *seen + delay <= frames_;
}

std::string RunSummary::json(const World& world) const
{
    char summary[256];
    std::snprintf(summary, sizeof summary,
        "{\"frames\":%ld,\"outcome\":\"%s\",\"player_health\":%d,\"boss01_health\":%d,\"boss02_health\":%d,"
        "\"game_overs\":%ld,\"ms_per_frame\":%.3f}",
        frames_, outcomeOf(world), world.player.getHealth(), world.boss01.health(), world.boss02.health(), gameOvers_,
        frames_ > 0 ? 1000.0 * seconds_ / frames_ : 0.0);
    return summary;
}

void RunSummary::note(const std::string& event, bool happening)
{
    if (happening && !firstSeen_.count(event))
        firstSeen_[event] = frames_;
}
