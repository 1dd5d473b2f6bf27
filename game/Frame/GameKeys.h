#pragma once

#include "Input/Keyboard.h"

#include <cstdint>
#include <optional>
#include <string>

// The keys the game means in one frame, whatever device gave them: the player's six input flags and
// Enter, which restarts the fight on the game-over overlay. Replays keep these, not raw key codes.
enum class GameKey : uint8_t { Left, Right, Up, Down, Jump, Fire, Enter };
inline constexpr int kGameKeyCount = 7;

struct GameKeys {
    uint8_t held = 0; // one bit per GameKey

    bool isHeld(GameKey key) const { return (held >> static_cast<int>(key)) & 1u; }
    void set(GameKey key, bool down);
    bool none() const { return held == 0; }
    bool operator==(const GameKeys&) const = default;
};

// The key's name in replays and key scripts: left right up down jump fire enter.
const char* gameKeyName(GameKey key);
std::optional<GameKey> gameKeyNamed(const std::string& name);

struct Controls;

// The game keys that the frame callables read from this keyboard snapshot, with these key bindings
// (by default the game's own keys).
GameKeys readGameKeys(const Keyboard& keyboard);
GameKeys readGameKeys(const Keyboard& keyboard, const Controls& controls);
// A keyboard holding one key for each held game key, which readGameKeys reads back unchanged.
Keyboard::State keyboardStateOf(GameKeys keys);
