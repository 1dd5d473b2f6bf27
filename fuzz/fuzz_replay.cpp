// Fuzzes the replay parser, which reads files that players share, and the writer against it. Anything the
// parser accepts must write back as text that reads back the same, with spans in frame order inside the
// replay's frames, the keys of every span found at its frames and a checkpoint every 60 frames; anything
// else must be refused with a short ReplayError naming the line, never a crash. The same bytes also
// describe a game as the recorder would write it: the writer's text must read back as that very replay,
// and every cut of it must be refused.

#include "Replay/Replay.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// A message quotes at most 80 characters of the file; the rest of it is the reader's own words.
constexpr size_t kLongestMessage = 300;

// A replay such as the recorder writes, its spans, keys, length and checksums taken from the bytes.
Replay replayOf(const uint8_t* data, size_t size)
{
    Replay replay;
    size_t at = 0;
    const auto next = [&]() -> uint32_t { return at < size ? data[at++] : 0; };
    replay.seed = next() << 24 | next() << 16 | next() << 8 | next();
    // Small gaps and spans and at most 32 of them: every input stays quick to write, read and cut.
    long frame = 0;
    while (at + 3 <= size && replay.spans.size() < 32) {
        const long from = frame + 1 + static_cast<long>(next() % 32);
        const long to = from + static_cast<long>(next() % 64);
        GameKeys keys;
        const uint32_t mask = next();
        for (int key = 0; key < kGameKeyCount; ++key)
            keys.set(static_cast<GameKey>(key), (mask >> key & 1) != 0);
        replay.spans.push_back({from, to, keys});
        frame = to;
    }
    replay.frames = frame + 1 + static_cast<long>(size % 97);
    for (long checkpoint = kCheckpointPeriod; checkpoint <= replay.frames; checkpoint += kCheckpointPeriod)
        replay.checkpoints.push_back({checkpoint, static_cast<uint32_t>(checkpoint * 2654435761u) ^ replay.seed});
    replay.end = {replay.seed ^ 0x5a5a5a5au, static_cast<int32_t>(size % 51), 880 - static_cast<int32_t>(size % 89),
        -static_cast<int32_t>(size % 7)};
    return replay;
}

void checkWriterAndReaderAgree(const uint8_t* data, size_t size)
{
    const Replay written = replayOf(data, size);
    const std::string text = written.text();
    const Replay read = Replay::parse(text);
    check(read.text() == text && read.seed == written.seed && read.frames == written.frames && read.end == written.end);
    check(read.spans.size() == written.spans.size() && read.checkpoints.size() == written.checkpoints.size());
    for (const Replay::Span& span : written.spans)
        check(read.keysAt(span.from) == span.keys && read.keysAt(span.to) == span.keys);
    // A cut anywhere is refused, never read as a shorter game: 8 cuts along the text and one in its last line.
    for (size_t i = 0; i <= 8; ++i) {
        const size_t cut = i < 8 ? (i * text.size() / 8 + size % 7) % text.size() : text.size() - 1 - size % 5;
        try {
            Replay::parse(text.substr(0, cut));
            check(false);
        } catch (const ReplayError&) {
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    checkWriterAndReaderAgree(data, size);

    const std::string text(reinterpret_cast<const char*>(data), size);
    Replay replay;
    try {
        replay = Replay::parse(text);
    } catch (const ReplayError& error) {
        const std::string message = error.what();
        check(message.rfind("line ", 0) == 0 && message.size() < kLongestMessage);
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
    check(static_cast<long>(replay.checkpoints.size()) == replay.frames / kCheckpointPeriod);
    for (size_t i = 0; i < replay.checkpoints.size(); ++i)
        check(replay.checkpoints[i].frame == static_cast<long>(i + 1) * kCheckpointPeriod);
    return 0;
}
