#include "Replay/Replay.h"

#include "Settings/Settings.h"
#include "Utils/StringUtils.h"
#include "Utils/Utf8Path.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

namespace {

constexpr const char* kMagic = "duelfall-replay";
constexpr const char* kKeyList = "left right up down jump fire enter";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// The longest line the game writes is under 100 characters; a longer one is damage, refused before it
// is taken apart.
constexpr size_t kLongestLine = 200;
// A message quotes no more of a bad line than this, so that a damaged file cannot flood the log.
constexpr size_t kQuotedLength = 80;

[[noreturn]] void fail(int line, const std::string& what)
{
    throw ReplayError("line " + std::to_string(line) + ": " + what);
}

std::string excerpt(const std::string& text) { return quotedExcerpt(text, kQuotedLength); }

// Decimal digits alone, at most maxDigits of them, with an optional leading '-' when allowed.
std::optional<long long> parseInteger(const std::string& text, size_t maxDigits, bool negativeAllowed = false)
{
    const bool negative = negativeAllowed && !text.empty() && text[0] == '-';
    const std::string digits = negative ? text.substr(1) : text;
    if (digits.empty() || digits.size() > maxDigits || digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const long long value = std::stoll(digits);
    return negative ? -value : value;
}

// A frame number: 1 to 999 999 999 (over six months at 60 frames a second).
long parseFrame(const std::string& text, int line)
{
    const std::optional<long long> frame = parseInteger(text, 9);
    if (!frame || *frame < 1)
        fail(line, "bad frame number " + excerpt(text));
    return static_cast<long>(*frame);
}

uint32_t parseChecksum(const std::string& text, int line)
{
    if (text.size() != 8 || text.find_first_not_of("0123456789abcdef") != std::string::npos)
        fail(line, "bad checksum " + excerpt(text) + " (expected eight hexadecimal digits)");
    return static_cast<uint32_t>(std::stoul(text, nullptr, 16));
}

int32_t parseHealth(const std::string& text, int line)
{
    const std::optional<long long> health = parseInteger(text, 9, true);
    if (!health)
        fail(line, "bad health " + excerpt(text));
    return static_cast<int32_t>(*health);
}

Replay::Span parseSpan(const std::vector<std::string>& words, int line)
{
    const size_t dash = words[0].find('-');
    if (dash == std::string::npos)
        fail(line, "expected a span FROM-TO, got " + excerpt(words[0]));
    Replay::Span span{parseFrame(words[0].substr(0, dash), line), parseFrame(words[0].substr(dash + 1), line), {}};
    if (span.to < span.from)
        fail(line, "span " + words[0] + " ends before it starts");
    for (size_t i = 1; i < words.size(); ++i) {
        const std::optional<GameKey> key = gameKeyNamed(words[i]);
        if (!key)
            fail(line, "unknown key " + excerpt(words[i]) + " (keys: " + kKeyList + ")");
        if (span.keys.isHeld(*key))
            fail(line, "key " + excerpt(words[i]) + " given twice");
        span.keys.set(*key, true);
    }
    return span;
}

void parseHeader(const std::string& text, Replay& replay)
{
    const std::vector<std::string> words = split(text, " \t", true);
    const std::string expected
        = std::string("expected '# ") + kMagic + " " + std::to_string(kReplayFormatVersion) + " game VERSION seed N'";
    if (words.size() < 3 || words[0] != "#" || words[1] != kMagic)
        fail(1, std::string("not a Duelfall replay (") + expected + ")");
    const std::optional<long long> version = parseInteger(words[2], 9);
    if (!version)
        fail(1, "bad format version " + excerpt(words[2]));
    if (*version != kReplayFormatVersion)
        fail(1,
            "replay format version " + words[2] + " is not supported (this build of Duelfall reads version "
                + std::to_string(kReplayFormatVersion) + ")");
    if ((words.size() != 7 && words.size() != 9) || words[3] != "game" || words[5] != "seed"
        || (words.size() == 9 && words[7] != "jump_buffer"))
        fail(1, "bad header (" + expected + ")");
    const std::optional<long long> seed = parseInteger(words[6], 10);
    if (!seed || *seed > UINT32_MAX)
        fail(1, "bad seed " + excerpt(words[6]) + " (expected 0 to 4294967295)");
    replay.gameVersion = words[4];
    replay.seed = static_cast<uint32_t>(*seed);
    if (words.size() == 9) {
        const std::optional<long long> buffer = parseInteger(words[8], 1);
        if (!buffer || *buffer > kMaxJumpBuffer)
            fail(1, "bad jump buffer " + excerpt(words[8]) + " (expected 0 to " + std::to_string(kMaxJumpBuffer) + ")");
        replay.jumpBuffer = static_cast<int>(*buffer);
    }
}

// "# end FRAME CHECKSUM player N boss01 N boss02 N"
void parseEnd(const std::vector<std::string>& words, int line, Replay& replay)
{
    if (words.size() != 10 || words[4] != "player" || words[6] != "boss01" || words[8] != "boss02")
        fail(line, "bad end line (expected '# end FRAME CHECKSUM player N boss01 N boss02 N')");
    replay.frames = parseFrame(words[2], line);
    replay.end = {parseChecksum(words[3], line), parseHealth(words[5], line), parseHealth(words[7], line),
        parseHealth(words[9], line)};
    const long lastSpan = replay.spans.empty() ? 0 : replay.spans.back().to;
    const long lastCheckpoint = replay.checkpoints.empty() ? 0 : replay.checkpoints.back().frame;
    if (replay.frames < std::max(lastSpan, lastCheckpoint))
        fail(line,
            "the replay ends at frame " + words[2] + " but goes on to frame "
                + std::to_string(std::max(lastSpan, lastCheckpoint)));
    // The game keeps a checkpoint every kCheckpointPeriod frames: without them a replay could play for
    // hours before a difference showed.
    if (lastCheckpoint + kCheckpointPeriod <= replay.frames)
        fail(line, "the checkpoint of frame " + std::to_string(lastCheckpoint + kCheckpointPeriod) + " is missing");
}

// "# checkpoint FRAME CHECKSUM", the next one of a checkpoint every kCheckpointPeriod frames.
void parseCheckpoint(const std::vector<std::string>& words, int line, Replay& replay)
{
    if (words.size() != 4)
        fail(line, "bad checkpoint (expected '# checkpoint FRAME CHECKSUM')");
    const Replay::Checkpoint checkpoint{parseFrame(words[2], line), parseChecksum(words[3], line)};
    const long expected = static_cast<long>(replay.checkpoints.size() + 1) * kCheckpointPeriod;
    if (checkpoint.frame != expected)
        fail(line,
            "checkpoint of frame " + words[2] + " where the one of frame " + std::to_string(expected)
                + " belongs (one every " + std::to_string(kCheckpointPeriod) + " frames)");
    replay.checkpoints.push_back(checkpoint);
}

} // namespace

Replay Replay::parse(const std::string& text)
{
    Replay replay;
    // A byte-order mark, as some editors write, is no part of the header.
    std::string_view rest = text;
    if (rest.starts_with(kByteOrderMark))
        rest.remove_prefix(kByteOrderMark.size());
    int number = 0;
    bool ended = false;
    while (!rest.empty()) {
        const size_t lineEnd = rest.find('\n');
        const bool hasLineEnd = lineEnd != std::string_view::npos;
        std::string line(rest.substr(0, lineEnd));
        rest.remove_prefix(hasLineEnd ? lineEnd + 1 : rest.size());
        ++number;
        if (line.size() > kLongestLine)
            fail(number,
                number == 1 ? "not a Duelfall replay (a first line of " + std::to_string(line.size()) + " characters)"
                            : "a line of " + std::to_string(line.size()) + " characters (at most "
                        + std::to_string(kLongestLine) + "): " + excerpt(line));
        trim(line);
        if (number == 1) {
            parseHeader(line, replay);
            continue;
        }
        if (line.empty())
            continue;
        if (ended)
            fail(number, "text after the end line");
        const std::vector<std::string> words = split(line, " \t", true);
        if (words[0] != "#") {
            Span span = parseSpan(words, number);
            if (!replay.spans.empty() && span.from <= replay.spans.back().to)
                fail(number,
                    "frames out of order (span " + words[0] + " starts at or before frame "
                        + std::to_string(replay.spans.back().to) + " of the span before it)");
            if (!replay.checkpoints.empty())
                fail(number, "a span after the checkpoints");
            replay.spans.push_back(span);
        } else if (words.size() >= 2 && words[1] == "checkpoint") {
            parseCheckpoint(words, number, replay);
        } else if (words.size() >= 2 && words[1] == "end") {
            parseEnd(words, number, replay);
            // The writer ends every line: an end line without its line end is a file cut inside it.
            if (!hasLineEnd)
                fail(number, "the end line is cut short (the file was cut short)");
            ended = true;
        } else {
            fail(number, "unknown line " + excerpt(line));
        }
    }
    if (number == 0)
        fail(1, std::string("not a Duelfall replay (the file is empty)"));
    if (!ended)
        fail(number + 1, "the end line is missing (the file was cut short)");
    return replay;
}

Replay Replay::load(const std::string& path)
{
    std::error_code error;
    if (std::filesystem::is_directory(pathFromUtf8(path), error))
        throw ReplayError("replay '" + path + "' is a directory, not a file");
    std::ifstream file(pathFromUtf8(path), std::ios::binary);
    if (!file)
        throw ReplayError("cannot read replay '" + path + "'");
    std::ostringstream text;
    text << file.rdbuf();
    try {
        return parse(text.str());
    } catch (const ReplayError& error) {
        throw ReplayError("replay '" + path + "' " + error.what());
    }
}

std::string Replay::text() const
{
    // Built by appending, with no stream: the game writes a long fight's replay every few seconds.
    std::string out;
    out.reserve(64 + spans.size() * 24 + checkpoints.size() * 30);
    const auto number = [&out](long long value) {
        char digits[24];
        out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
    };
    out.append("# ").append(kMagic).append(" ");
    number(kReplayFormatVersion);
    out.append(" game ").append(gameVersion).append(" seed ");
    number(seed);
    // Left out when there is none, so that a fight without one is written as before.
    if (jumpBuffer > 0) {
        out.append(" jump_buffer ");
        number(jumpBuffer);
    }
    out += '\n';
    for (const Span& span : spans) {
        number(span.from);
        out += '-';
        number(span.to);
        for (int i = 0; i < kGameKeyCount; ++i)
            if (span.keys.isHeld(static_cast<GameKey>(i)))
                out.append(" ").append(gameKeyName(static_cast<GameKey>(i)));
        out += '\n';
    }
    for (const Checkpoint& checkpoint : checkpoints) {
        out.append("# checkpoint ");
        number(checkpoint.frame);
        out.append(" ").append(checksumText(checkpoint.checksum)).append("\n");
    }
    out.append("# end ");
    number(frames);
    out.append(" ").append(checksumText(end.checksum)).append(" player ");
    number(end.playerHealth);
    out.append(" boss01 ");
    number(end.boss01Health);
    out.append(" boss02 ");
    number(end.boss02Health);
    out += '\n';
    return out;
}

GameKeys Replay::keysAt(long frame) const
{
    // The last span starting at or before the frame is the only one that can hold it.
    const auto after
        = std::upper_bound(spans.begin(), spans.end(), frame, [](long f, const Span& span) { return f < span.from; });
    if (after == spans.begin() || std::prev(after)->to < frame)
        return {};
    return std::prev(after)->keys;
}
