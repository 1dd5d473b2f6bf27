#include "KeyScript.h"

#include "WholeNumber.h"

#include "Utils/StringUtils.h"
#include "Utils/Utf8Path.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

long parseFrame(const std::string& text, int lineNumber)
{
    const std::optional<long long> frame = parseWholeNumber(text, 1);
    if (!frame)
        throw std::runtime_error("key script line " + std::to_string(lineNumber) + ": bad frame number '" + text + "'");
    return static_cast<long>(*frame);
}

} // namespace

std::optional<SDL_Scancode> KeyScript::scancodeOf(const std::string& name)
{
    if (name == "left")
        return SDL_SCANCODE_LEFT;
    if (name == "right")
        return SDL_SCANCODE_RIGHT;
    if (name == "up")
        return SDL_SCANCODE_UP;
    if (name == "down")
        return SDL_SCANCODE_DOWN;
    if (name == "jump")
        return SDL_SCANCODE_SPACE;
    if (name == "fire")
        return SDL_SCANCODE_LCTRL;
    if (name == "enter")
        return SDL_SCANCODE_RETURN;
    return std::nullopt;
}

KeyScript KeyScript::parse(const std::string& text)
{
    KeyScript script;
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        trim(line);
        if (line.empty() || line[0] == '#')
            continue;
        const std::vector<std::string> words = split(line, " \t", true);
        const std::vector<std::string> range = split(words[0], '-');
        if (range.size() != 2)
            throw std::runtime_error(
                "key script line " + std::to_string(lineNumber) + ": expected FROM-TO, got '" + words[0] + "'");
        Span span{parseFrame(range[0], lineNumber), parseFrame(range[1], lineNumber), {}};
        if (span.to < span.from)
            throw std::runtime_error("key script line " + std::to_string(lineNumber) + ": span ends before it starts");
        for (size_t i = 1; i < words.size(); ++i) {
            const std::optional<SDL_Scancode> key = scancodeOf(words[i]);
            if (!key)
                throw std::runtime_error("key script line " + std::to_string(lineNumber) + ": unknown key '" + words[i]
                    + "' (keys: left right up down jump fire enter)");
            span.keys.push_back(*key);
        }
        script.spans_.push_back(std::move(span));
    }
    return script;
}

KeyScript KeyScript::load(const std::string& path)
{
    std::ifstream file(pathFromUtf8(path));
    if (!file)
        throw std::runtime_error("cannot read key script '" + path + "'");
    std::ostringstream text;
    text << file.rdbuf();
    return parse(text.str());
}

Keyboard::State KeyScript::keysAt(long frame) const
{
    Keyboard::State held{};
    for (const Span& span : spans_)
        if (frame >= span.from && frame <= span.to)
            for (SDL_Scancode key : span.keys)
                held[key] = 1;
    return held;
}
