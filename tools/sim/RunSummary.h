#pragma once

#include <map>
#include <optional>
#include <string>

struct World;

// What a run of the game comes to, noted frame by frame: when each event of the game was first seen
// (boss2: the second boss takes over; switch: its stage switch starts; victory; gameover), the game
// overs, the time the frames took, and the one-line JSON summary that ends a run. The simulator and the
// browser's autopilot page print the same line.
class RunSummary {
public:
    // After each frame, with the seconds its work took.
    void frameDone(const World& world, double seconds);

    long frames() const { return frames_; }
    // The frame in which the event was first seen.
    std::optional<long> firstSeen(const std::string& event) const;
    // Whether the run has gone on `delay` frames past the event.
    bool reached(const std::string& event, long delay) const;

    // {"frames":N,"outcome":"victory"|"gameover"|"running","player_health":N,"boss01_health":N,
    // "boss02_health":N,"game_overs":N,"ms_per_frame":X}
    std::string json(const World& world) const;

private:
    void note(const std::string& event, bool happening);

    std::map<std::string, long> firstSeen_;
    long frames_ = 0;
    long gameOvers_ = 0;
    bool wasOver_ = false;
    double seconds_ = 0;
};
