#pragma once

#include "Fight/WorldState.h"
#include "Frame/GameKeys.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// The version of the replay format this build writes and reads, and the game's own version.
inline constexpr int kReplayFormatVersion = 1;
// Kept equal to the project version in CMakeLists.txt (the package and the Windows resource carry it).
inline constexpr const char* kGameVersion = "1.0.0";
// A checkpoint of the world every this many recorded frames.
inline constexpr long kCheckpointPeriod = 60;

// A replay that cannot be read; the message names the line.
class ReplayError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A recorded game: the random seed it ran with and the game keys held in each frame, with the state
// of the world at checkpoints and after the last frame. As text it is a key script, so the simulator's
// --input reads it too:
//
//   # duelfall-replay 1 game 1.0.0 seed 1765075200      header: format version, game version, seed,
//                                                        then "jump_buffer N" if the fight had one
//   1-44 right                                           keys held from frame 1 to 44, both included
//   45-60 right jump                                     (frames with no key held have no line)
//   # checkpoint 60 9f3a0c11                             world checksum after frame 60
//   # end 3120 0a1b2c3d player 30 boss01 0 boss02 640   frames, checksum and health after the last
//
// Spans come in frame order, then a checkpoint for every 60th frame, then the end line, which ends in a
// line end like every line the game writes (a file cut inside it is refused). Blank lines and a leading
// byte-order mark are allowed; every other line must be one of these.
struct Replay {
    struct Span {
        long from = 0;
        long to = 0;
        GameKeys keys;
    };
    struct Checkpoint {
        long frame = 0;
        uint32_t checksum = 0;
    };

    uint32_t seed = 0;
    std::string gameVersion = kGameVersion;
    // The player's jump buffer, in frames: it changes the world, so the replay plays with its own.
    int jumpBuffer = 0;
    std::vector<Span> spans;
    std::vector<Checkpoint> checkpoints;
    long frames = 0;
    WorldState end;

    // Throws ReplayError naming the line for anything it cannot read, quoting at most 80 characters of it.
    static Replay parse(const std::string& text);
    // Throws ReplayError (with the path) for a file it cannot read or parse, or a directory.
    static Replay load(const std::string& path);
    std::string text() const;

    // The keys held in a frame (none outside every span).
    GameKeys keysAt(long frame) const;
};
