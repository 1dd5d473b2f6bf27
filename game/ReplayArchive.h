#pragma once

#include "Replay.h"

#include <ctime>
#include <string>

// The directory of a player's replays: each run in "YYYY-MM-DD_HH-MM-SS.replay" (its start time, local;
// "_2", "_3", ... after it for runs started in the same second), the last one also in "last.replay",
// and only the ten newest runs kept. The archive counts and removes only names of that form, ordered by
// their time and then their number: a player's own copies and every other file are left alone.
// Writing failures are logged as ERROR lines and never stop the game.
class ReplayArchive {
public:
    static constexpr int kKeptReplays = 10;

    // The directory is created when first written.
    ReplayArchive(std::string directory, std::time_t startTime);

    // Brings this run's file and last.replay up to date. The run's name is claimed at the first call by
    // creating the file exclusively, so that games ending together never share one. A replay without a
    // whole frame is not written. False if a file cannot be written.
    bool update(const Replay& replay);
    // update(), then "Replay saved" in the log.
    bool save(const Replay& replay);

    // This run's file ("" until first written).
    const std::string& path() const { return path_; }

    // Whether a file name is of the form the archive writes.
    static bool isRunName(const std::string& name);
    // Writes the text under the temporary name, then renames it over the path, so that a cut write
    // never spoils the file already there; false (logged) if it cannot.
    static bool replaceFile(const std::string& path, const std::string& temporary, const std::string& text);

private:
    bool claimFileName();
    void pruneOldReplays() const;

    std::string directory_;
    std::time_t startTime_;
    std::string path_;
};
