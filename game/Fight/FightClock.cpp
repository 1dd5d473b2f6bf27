#include "Fight/FightClock.h"

#include <cstdio>

namespace {

constexpr long kFramesPerSecond = 60;

} // namespace

void FightClock::tick(bool firstBossDown, bool secondBossDown)
{
    if (won)
        return;
    ++frames;
    if (firstBossDown && !firstBossFell)
        firstBossFell = frames;
    if (secondBossDown)
        won = frames;
}

std::string clockText(long frames)
{
    const long hundredths = frames * 100 / kFramesPerSecond;
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld.%02ld", hundredths / 6000, hundredths / 100 % 60, hundredths % 100);
    return text;
}
