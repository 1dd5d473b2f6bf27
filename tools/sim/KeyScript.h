#pragma once

#include "Input/Keyboard.h"

#include <optional>
#include <string>
#include <vector>

// Keys held over spans of frames, read from a text file of lines "FROM-TO key key ...": frames are
// numbered from 1 and both ends are included; keys are named left right up down jump fire enter.
// Blank lines and lines starting with '#' are skipped.
class KeyScript {
public:
    // Throws std::runtime_error naming the line for anything it cannot read.
    static KeyScript parse(const std::string& text);
    static KeyScript load(const std::string& path);

    // The keys held in a frame (none outside every span).
    Keyboard::State keysAt(long frame) const;
    static std::optional<SDL_Scancode> scancodeOf(const std::string& name);

private:
    struct Span {
        long from = 0;
        long to = 0;
        std::vector<SDL_Scancode> keys;
    };
    std::vector<Span> spans_;
};
