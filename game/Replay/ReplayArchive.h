#pragma once

#include "Replay/Replay.h"

#include <ctime>
#include <future>
#include <string>

// The directory of a player's replays: each run in "YYYY-MM-DD_HH-MM-SS.replay" (its start time, local;
// "_2", "_3", ... after it for runs started in the same second), the last one also in "last.replay",
// and only the ten newest runs kept. The archive counts and removes only names of that form, ordered by
// their time and then their number (with the temporary files a killed game left of runs no longer there):
// a player's own copies and every other file are left alone.
// Writing failures are logged as ERROR lines and never stop the game.
class ReplayArchive {
public:
    static constexpr int kKeptReplays = 10;

    // The directory is created when first written.
    ReplayArchive(std::string directory, std::time_t startTime);
    // Waits for the file being written.
    ~ReplayArchive();
    ReplayArchive(const ReplayArchive&) = delete;
    ReplayArchive& operator=(const ReplayArchive&) = delete;

    // Starts bringing this run's file and last.replay up to date, on a thread of its own, so that the
    // frame that asks never waits for the disk. The run's name is claimed at the first call by creating
    // the file exclusively, so that games ending together never share one. A replay without a whole
    // frame is not written. False if the name cannot be claimed or the write before failed.
    bool update(const Replay& replay);
    // Waits until the files started by update() are written; false (logged) if they could not be.
    bool finishWriting();
    // update() and finishWriting(), then "Replay saved" in the log.
    bool save(const Replay& replay);

    // This run's file ("" until first written).
    const std::string& path() const { return path_; }

    // Whether a file name is of the form the archive writes.
    static bool isRunName(const std::string& name);
    // Writes the text under the temporary name, then renames it over the path, so that a cut write
    // never spoils the file already there. Empty, or the error to report (nothing is logged here: it may
    // run on a thread of its own).
    static std::string replaceFile(const std::string& path, const std::string& temporary, const std::string& text);

private:
    bool claimFileName();
    void pruneOldReplays() const;
    void removeOrphanedTemporaries() const;

    std::string directory_;
    std::time_t startTime_;
    std::string path_;
    // The write in progress: empty, or the error it met.
    std::future<std::string> writing_;
};
