// The engine's pure functions against the table tests/golden/values.txt (its head explains the lines): the
// edge cases of rectangles, circles, UTF-8 (with the fuzz targets' finds), colours, animation XML, the keys.
#include "Core/FrameTimer.h"
#include "Frame/Controls.h"
#include "Frame/GameFrame.h"
#include "Frame/GameKeys.h"
#include "Graphics/Animation.h"
#include "Graphics/Color.h"
#include "Input/CoordinateMapping.h"
#include "Math/Circle.h"
#include "Math/Rect.h"
#include "Settings/SettingsFile.h"
#include "Shell/GameOptions.h"
#include "Shell/Pause.h"
#include "SimOptions.h"
#include "System/FileDialog.h"
#include "System/OsInfo.h"
#include "System/TextConversion.h"
#include "Utils/StringUtils.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

std::string unescape(std::string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'x' && i + 2 < text.size() + 1) {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            const std::string_view from = "ntrvf", to = "\n\t\r\v\f";
            out += from.find(c) != std::string_view::npos ? to[from.find(c)] : c;
        }
    }
    return out;
}

std::string escape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out += c == '\\' || c == '|'                                  ? std::string("\\") + text[i]
            : c < 32 || c > 126 || (c == ' ' && i + 1 == text.size()) ? hex
                                                                      : std::string(1, text[i]);
    }
    return out;
}

template <typename T> std::string printed(const T& value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

std::vector<int> numbers(const std::string& text)
{
    std::istringstream in(text);
    std::vector<int> result;
    for (long long n; in >> n;)
        result.push_back(static_cast<int>(n));
    return result;
}

std::string units(const std::u16string& text)
{
    std::string out;
    for (char16_t u : text) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%s%04X", out.empty() ? "" : " ", static_cast<unsigned>(u));
        out += hex;
    }
    return out;
}

using Args = std::vector<std::string>;

template <typename T> std::string both(const T& a, const T& b)
{
    return std::to_string(a.intersects(b)) + " " + std::to_string(b.intersects(a));
}

std::string call(const std::string& f, const Args& a)
{
    const std::vector<int> n = numbers(a[0]), m = numbers(a.size() > 1 ? a[1] : ""),
                           k = numbers(a.size() > 2 ? a[2] : "");
    std::string text = a[0], left = a[0], right = a[0];
    if (f == "color")
        return printed(Color(a[0]));
    if (f == "rect")
        return both(Rect(n[0], n[1], n[2], n[3]), Rect(m[0], m[1], m[2], m[3]));
    if (f == "rect-contains")
        return std::to_string(Rect(n[0], n[1], n[2], n[3]).contains({m[0], m[1]}));
    if (f == "circle")
        return both(Circle({n[0], n[1]}, n[2]), Circle({m[0], m[1]}, m[2]));
    if (f == "circle-contains")
        return std::to_string(Circle({n[0], n[1]}, n[2]).contains({m[0], m[1]}));
    if (f == "xml")
        return printed(Rect(a[0])) + printed(Point(a[0])) + printed(Size(a[0])) + printed(Circle(a[0]));
    if (f == "utf8-to-16")
        return units(utf8ToUtf16(a[0])) + " (" + std::to_string(utf8Length(a[0])) + ")";
    if (f == "utf16-to-8")
        return escape(utf16ToUtf8(std::u16string(n.begin(), n.end())));
    if (f == "utf8-drop")
        return utf8DropLast(text, std::stoul(a[1])), escape(text);
    if (f == "whole-prefix")
        return escape(wholeCharacterPrefix(a[0], std::stoul(a[1])));
    if (f == "windows")
        return windowsVersionName(n[0], n[1], n[2], n[3], n[4]);
    if (f == "os-release")
        return escape(osReleasePrettyName(a[0]));
    if (f == "dialog-filter") {
        const auto filter = dialogFilterText(Args(a.begin(), a.end() - (a.back().empty() ? 1 : 0)));
        const size_t used = filter ? filter->find_last_not_of(u'\0') : 0;
        return !filter ? "none"
                       : std::to_string(filter->size()) + ": "
                + units(filter->substr(0, used == std::u16string::npos ? 0 : used + 2));
    }
    if (f == "split") {
        for (const std::string& piece : split(a[0], a[1], a[2] == "skip"))
            right += "[" + escape(piece) + "]";
        return right.substr(a[0].size());
    }
    if (f == "trim")
        return trim(text), trimLeft(left), trimRight(right),
               "[" + escape(text) + "][" + escape(left) + "][" + escape(right) + "]";
    if (f == "case")
        return toUpper(left), toLower(right), escape(left) + " " + escape(right);
    if (f == "frame-limit")
        return std::to_string(FrameTimer(milliseconds(n[0]), static_cast<uint32_t>(n[1])).limit());
    if (f == "animation") { // image, key colour, delay, count, frames, the parse error, room reserved at most 4096
        const AnimationData d = Animation::parse(a[0]);
        std::string frames;
        for (const Rect& frame : d.frames)
            frames += " " + printed(frame);
        return escape(d.image) + " " + printed(d.transparentColor) + " " + std::to_string(d.delay) + " "
            + std::to_string(d.count) + frames + " [" + d.parseError + "] "
            + std::to_string(d.frames.capacity() <= 4096);
    }
    if (f == "keys") { // SDL's key names held => the player's six flags and the game keys
        Keyboard::State held{};
        for (const std::string& name : a)
            held[SDL_GetScancodeFromName(name.c_str())] = 1;
        Keyboard keyboard;
        keyboard.setScript(held);
        keyboard.takeSnapshot();
        const PlayerInput in = readPlayerInput(keyboard);
        for (int key = 0; key < kGameKeyCount; ++key)
            text += readGameKeys(keyboard).isHeld(static_cast<GameKey>(key)) ? "lrudjfe"[key] : '.';
        return std::string{in.left ? 'l' : '.', in.right ? 'r' : '.', in.up ? 'u' : '.', in.down ? 'd' : '.',
                   in.jump ? 'j' : '.', in.fire ? 'f' : '.', ' '}
        + text.substr(a[0].size());
    }
    if (f == "game-options") { // help, no-audio, [the replay file]; or the refusal
        const GameOptionsResult r = parseGameOptions(a.size() == 1 && a[0].empty() ? Args{} : a);
        return r.error.empty() ? join(r.options.help, r.options.noAudio, "[" + escape(r.options.replayFile) + "]")
                               : "error: " + r.error;
    }
    if (f == "sim-options") { // the fields in their order, "-" for an empty text, then each shot; or the refusal
        Args words = a.size() == 1 && a[0].empty() ? Args{} : a;
        std::vector<char*> argv{text.data()};
        for (std::string& word : words)
            argv.push_back(word.data());
        const auto shown = [](const std::string& s) { return s.empty() ? "-" : s; };
        try {
            const SimOptions o = parseSimOptions(static_cast<int>(argv.size()), argv.data());
            text = join(o.frames, o.framesGiven, o.seed ? std::to_string(*o.seed) : "-", o.autopilot, o.loseFights,
                shown(o.inputPath), shown(o.replayPath), shown(o.recordPath), shown(o.until), o.untilDelay,
                shown(o.tracePath), o.realtime);
            for (const ShotRequest& s : o.shots)
                text += join("|", s.frame, shown(s.event), s.delay, s.path);
            return text;
        } catch (const std::exception& error) {
            return std::string("error: ") + error.what();
        }
    }
    if (f == "settings") { // a settings.ini => the settings that differ from the defaults, then each problem
        const SettingsFile file = SettingsFile::parse(a[0]);
        for (const SettingField& field : settingFields())
            if (settingText(field, file.settings()) != settingText(field, defaultSettings()))
                right += " " + field.name + "=" + settingText(field, file.settings());
        for (const std::string& problem : file.problems())
            right += " [" + escape(problem.substr(sizeof "settings.ini")) + "]";
        return right.substr(a[0].size());
    }
    if (f == "pause-line") // a settings.ini => the pause overlay's line of keys
        return pauseKeysLine(controlsOf(SettingsFile::parse(a[0]).settings()));
    if (f == "to-logical")
        return printed(toLogical({n[0], n[1]}, {m[0], m[1]}, {k[0], k[1]})) + " "
            + printed(toWindow({n[0], n[1]}, {m[0], m[1]}, {k[0], k[1]}));
    ADD_FAILURE() << "no function " << f;
    return "";
}

} // namespace

TEST(Values, ThePureFunctionsGiveTheResultsOfTheTable)
{
    std::ifstream in(std::string(DUELFALL_SOURCE_DIR) + "/tests/golden/values.txt");
    std::string head;
    ASSERT_TRUE(std::getline(in, head));
    std::vector<std::string> rows;
    int calls = 0;
    for (std::string line; std::getline(in, line);) {
        const size_t arrow = line.find(" => ");
        const std::string request = line.substr(0, arrow);
        const size_t space = request.find(' ');
        if (!line.empty() && line[0] != '#' && arrow != std::string::npos) {
            Args args;
            const std::string rest = space == std::string::npos ? "" : request.substr(space + 1);
            for (size_t from = 0, bar = 0; bar != std::string::npos; from = bar + 3) {
                bar = rest.find(" | ", from);
                args.push_back(unescape(rest.substr(from, bar - from)));
            }
            line = request + " => " + call(request.substr(0, space), args);
            ++calls;
        }
        rows.push_back(line);
    }
    EXPECT_GT(calls, 100);
    expectGolden(rows, "values.txt", head.substr(2));
}
