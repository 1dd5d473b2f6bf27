// Fuzzes the replay parser, which reads files that players share. Anything it accepts must write back
// as text that reads back the same, with spans in frame order inside the replay's frames, and the keys
// of every span found at its frames; anything else must be refused with a ReplayError, never a crash.

#include "Replay.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Replay replay;
    try {
        replay = Replay::parse(text);
    } catch (const ReplayError& error) {
        check(std::string(error.what()).rfind("line ", 0) == 0);
        return 0;
    }
    const std::string written = replay.text();
    check(Replay::parse(written).text() == written);

    long previous = 0;
    for (const Replay::Span& span : replay.spans) {
        check(previous < span.from && span.from <= span.to && span.to <= replay.frames);
        check(replay.keysAt(span.from) == span.keys && replay.keysAt(span.to) == span.keys);
        if (span.from - 1 > previous)
            check(replay.keysAt(span.from - 1).none());
        previous = span.to;
    }
    for (size_t i = 1; i < replay.checkpoints.size(); ++i)
        check(replay.checkpoints[i - 1].frame < replay.checkpoints[i].frame);
    return 0;
}
