// Fuzzes the game's command line. The input is split at line feeds into arguments. Whatever they are,
// the parser answers with options or a reason, never both; and options it accepted, written back as a
// command line, read back the same.

#include "Shell/GameOptions.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::string> args = splitLines(std::string(reinterpret_cast<const char*>(data), size));
    const GameOptionsResult result = parseGameOptions(args);
    if (!result.error.empty()) {
        check(result.options.replayFile.empty() || args.size() > 1);
        return 0;
    }

    const GameOptions& options = result.options;
    std::vector<std::string> written;
    if (options.help)
        written.push_back("--help");
    if (options.noAudio)
        written.push_back("--no-audio");
    if (!options.replayFile.empty()) {
        written.push_back("--replay");
        written.push_back(options.replayFile);
    }
    const GameOptionsResult again = parseGameOptions(written);
    check(again.error.empty());
    check(again.options.help == options.help && again.options.noAudio == options.noAudio
        && again.options.replayFile == options.replayFile);
    return 0;
}
