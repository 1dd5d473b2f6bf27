#pragma once

#include "Replay.h"

#include <ctime>
#include <string>

// The directory of a player's replays: each run in "YYYY-MM-DD_HH-MM-SS.replay" (its start time, local),
// the last one also in "last.replay", and only the ten newest runs kept. Writing failures are logged
// as ERROR lines and never stop the game.
class ReplayArchive {
public:
    static constexpr int kKeptReplays = 10;

    // The directory is created when first written.
    ReplayArchive(std::string directory, std::time_t startTime);

    // Writes (or rewrites) this run's file; false if it cannot.
    bool save(const Replay& replay);
    // save(), then the same file as last.replay.
    bool saveAsLast(const Replay& replay);

    // This run's file ("" until first written).
    const std::string& path() const { return path_; }

private:
    std::string chooseFileName() const;
    void pruneOldReplays();

    std::string directory_;
    std::time_t startTime_;
    std::string path_;
};
