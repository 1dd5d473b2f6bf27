#pragma once

#include <optional>
#include <string>
#include <vector>

// A picture to save: at a frame number, or a number of frames after an event of the game
// (boss2: the second boss takes over; switch: its stage switch starts; victory; gameover).
struct ShotRequest {
    long frame = 0;
    std::string event;
    long delay = 0;
    std::string path;
};

struct SimOptions {
    long frames = 20000;
    bool framesGiven = false;
    std::optional<unsigned long> seed;
    bool autopilot = false;
    // Fights the autopilot loses on purpose before it plays to win.
    long loseFights = 0;
    std::string inputPath;
    // A recorded game to replay: its seed and keys, its checkpoints checked (exit status 3 on a desync).
    std::string replayPath;
    // Where to write the run as a replay, the way the game records it.
    std::string recordPath;
    // Stop this many frames after the event is first reached (victory or gameover).
    std::string until;
    long untilDelay = 0;
    std::vector<ShotRequest> shots;
    std::string tracePath;
    bool realtime = false;
};

// Reads the command line; throws std::runtime_error with a message for anything it cannot read.
SimOptions parseSimOptions(int argc, char* argv[]);
const char* simUsage();
