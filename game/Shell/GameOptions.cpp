#include "Shell/GameOptions.h"

namespace {

constexpr const char* kReplayOption = "--replay";

GameOptionsResult failure(const std::string& reason)
{
    GameOptionsResult result;
    result.error = reason + " (try --help)";
    return result;
}

} // namespace

GameOptionsResult parseGameOptions(const std::vector<std::string>& args)
{
    GameOptionsResult result;
    GameOptions& options = result.options;
    bool replayGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string replay;
        bool isReplay = false;
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--no-audio") {
            options.noAudio = true;
        } else if (arg == kReplayOption) {
            if (i + 1 >= args.size())
                return failure("--replay needs a file");
            replay = args[++i];
            isReplay = true;
        } else if (arg.rfind(std::string(kReplayOption) + "=", 0) == 0) {
            replay = arg.substr(std::string(kReplayOption).size() + 1);
            isReplay = true;
        } else {
            return failure("unknown option \"" + arg + "\"");
        }
        if (!isReplay)
            continue;
        if (replay.empty())
            return failure("--replay needs a file");
        if (replayGiven)
            return failure("--replay given twice");
        replayGiven = true;
        options.replayFile = replay;
    }
    return result;
}

const char* gameUsage()
{
    return "Usage: duelfall [--no-audio] [--replay FILE] [--help]\n"
           "\n"
           "  --no-audio      play without sound (for a machine without a sound device)\n"
           "  --replay FILE   watch a recorded fight instead of playing\n"
           "  --help, -h      print this text and end\n"
           "\n"
           "Keys: A/D or Left/Right move, W/S or Up/Down aim, Space jumps (hold it to jump higher),\n"
           "Ctrl or Shift fires, Enter restarts after a game over.\n";
}
