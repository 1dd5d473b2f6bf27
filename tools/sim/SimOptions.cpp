#include "SimOptions.h"

#include "WholeNumber.h"

#include <cstdint>
#include <stdexcept>

namespace {

long parseCount(const std::string& option, const std::string& text)
{
    const std::optional<long long> count = parseWholeNumber(text, 0);
    if (!count)
        throw std::runtime_error(option + ": expected a non-negative whole number, got '" + text + "'");
    return static_cast<long>(*count);
}

// The generator's seeds are 32 bits, as in a replay's header.
unsigned long parseSeed(const std::string& text)
{
    const std::optional<long long> seed = parseWholeNumber(text, 0, UINT32_MAX);
    if (!seed)
        throw std::runtime_error("--seed: expected a whole number from 0 to 4294967295, got '" + text + "'");
    return static_cast<unsigned long>(*seed);
}

ShotRequest parseShot(const std::string& option, const std::string& text)
{
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon + 1 == text.size())
        throw std::runtime_error(option + ": expected WHEN:FILE.png, got '" + text + "'");
    ShotRequest shot;
    shot.path = text.substr(colon + 1);
    const std::string when = text.substr(0, colon);
    if (option == "--shot") {
        shot.frame = parseCount(option, when);
        return shot;
    }
    const size_t plus = when.find('+');
    shot.event = when.substr(0, plus);
    if (plus != std::string::npos)
        shot.delay = parseCount(option, when.substr(plus + 1));
    if (shot.event != "boss2" && shot.event != "switch" && shot.event != "victory" && shot.event != "gameover")
        throw std::runtime_error(option + ": unknown event '" + shot.event + "' (boss2, switch, victory, gameover)");
    return shot;
}

} // namespace

const char* simUsage()
{
    return "usage: duelfall-sim [--frames N] [--seed N] [--autopilot [--lose N]] [--input FILE] [--replay FILE]\n"
           "                    [--until victory|gameover[+N]] [--shot FRAME:FILE.png]...\n"
           "                    [--shot-at EVENT[+N]:FILE.png]... [--trace FILE] [--record FILE] [--realtime]\n"
           "EVENT: boss2, switch, victory or gameover. Key script lines: FROM-TO key key ... with the keys\n"
           "left right up down jump fire enter; frames are numbered from 1. --lose N: the autopilot loses\n"
           "N fights (giving up when the second boss is low) before it plays to win. --replay FILE: a game\n"
           "recorded by duelfall (userData/replays/), with its seed, for its frames; a desync exits with 3.\n"
           "--record FILE: writes the run as a replay.\n";
}

SimOptions parseSimOptions(int argc, char* argv[])
{
    SimOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                throw std::runtime_error(option + " needs a value");
            return argv[++i];
        };
        if (option == "--frames") {
            options.frames = parseCount(option, value());
            options.framesGiven = true;
        } else if (option == "--replay")
            options.replayPath = value();
        else if (option == "--record")
            options.recordPath = value();
        else if (option == "--seed")
            options.seed = parseSeed(value());
        else if (option == "--autopilot")
            options.autopilot = true;
        else if (option == "--lose")
            options.loseFights = parseCount(option, value());
        else if (option == "--input")
            options.inputPath = value();
        else if (option == "--until") {
            const std::string when = value();
            const size_t plus = when.find('+');
            options.until = when.substr(0, plus);
            if (plus != std::string::npos)
                options.untilDelay = parseCount(option, when.substr(plus + 1));
            if (options.until != "victory" && options.until != "gameover")
                throw std::runtime_error("--until: expected victory or gameover, got '" + when + "'");
        } else if (option == "--shot" || option == "--shot-at")
            options.shots.push_back(parseShot(option, value()));
        else if (option == "--trace")
            options.tracePath = value();
        else if (option == "--realtime")
            options.realtime = true;
        else
            throw std::runtime_error("unknown option '" + option + "'");
    }
    if (options.autopilot && !options.inputPath.empty())
        throw std::runtime_error("--autopilot and --input cannot be combined");
    if (!options.replayPath.empty() && (options.autopilot || !options.inputPath.empty() || options.seed))
        throw std::runtime_error("--replay brings its own keys and seed: no --autopilot, --input or --seed with it");
    if (options.loseFights > 0 && !options.autopilot)
        throw std::runtime_error("--lose needs --autopilot");
    return options;
}
