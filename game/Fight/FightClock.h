#pragma once

#include <optional>
#include <string>

// The fight's time, counted in the world's frames (never the wall clock, so that a replay and a slow
// machine time the same fight alike): from the start or restart of the fight to the first boss's fall
// and to the second's.
struct FightClock {
    // Frames of the fight that ran, up to and including the one in which the second boss fell.
    long frames = 0;
    // The frame count when the first boss fell, and when the second did (the fight won).
    std::optional<long> firstBossFell;
    std::optional<long> won;

    // One frame of the world has run, after which the bosses are as given.
    void tick(bool firstBossDown, bool secondBossDown);
};

// The best times shown on the victory screen beside the fight's own, and whether the fight beat them:
// set by whoever keeps the records (a replay played back shows them but never beats them).
struct BestTimes {
    std::optional<long> firstBoss;
    std::optional<long> fight;
    bool newFirstBoss = false;
    bool newFight = false;
};

// "m:ss.cc" at 60 frames a second: minutes, seconds and hundredths, rounded down.
std::string clockText(long frames);
