#pragma once

#include <string>
#include <vector>

// What the player may ask of the game on its command line. Everything else about the game is fixed.
struct GameOptions {
    // Print the usage and end without opening a window.
    bool help = false;
    // Play without a sound device: sounds and music load and play as silent no-ops.
    bool noAudio = false;
    // A recorded fight to play back instead of reading the keys; empty for none.
    std::string replayFile;
};

// The options read, or the reason they could not be read (then `error` is not empty).
struct GameOptionsResult {
    GameOptions options;
    std::string error;
};

// Reads the arguments after the program's name. Accepts --help (-h), --no-audio and --replay FILE (or
// --replay=FILE); any other argument, a repeated --replay or a --replay without a file is an error.
GameOptionsResult parseGameOptions(const std::vector<std::string>& args);

// The text printed by --help, ending in a line feed.
const char* gameUsage();
