#include "Frame/GameKeys.h"

#include "Frame/GameFrame.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<const char*, kGameKeyCount> kNames{"left", "right", "up", "down", "jump", "fire", "enter"};
// The key each game key is played back with: one of the keys the game reads for it.
constexpr std::array<SDL_Scancode, kGameKeyCount> kPlaybackKeys{SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT, SDL_SCANCODE_UP,
    SDL_SCANCODE_DOWN, SDL_SCANCODE_SPACE, SDL_SCANCODE_LCTRL, SDL_SCANCODE_RETURN};

} // namespace

void GameKeys::set(GameKey key, bool down)
{
    const auto bit = static_cast<uint8_t>(1u << static_cast<int>(key));
    held = down ? static_cast<uint8_t>(held | bit) : static_cast<uint8_t>(held & ~bit);
}

const char* gameKeyName(GameKey key) { return kNames[static_cast<size_t>(key)]; }

std::optional<GameKey> gameKeyNamed(const std::string& name)
{
    for (size_t i = 0; i < kNames.size(); ++i)
        if (name == kNames[i])
            return static_cast<GameKey>(i);
    return std::nullopt;
}

GameKeys readGameKeys(const Keyboard& keyboard) { return readGameKeys(keyboard, defaultControls()); }

GameKeys readGameKeys(const Keyboard& keyboard, const Controls& controls)
{
    const PlayerInput input = readPlayerInput(keyboard, controls);
    GameKeys keys;
    keys.set(GameKey::Left, input.left);
    keys.set(GameKey::Right, input.right);
    keys.set(GameKey::Up, input.up);
    keys.set(GameKey::Down, input.down);
    keys.set(GameKey::Jump, input.jump);
    keys.set(GameKey::Fire, input.fire);
    // The same keys as the restart on the game-over overlay; with Alt held, Enter switches full screen
    // instead and restarts nothing.
    const std::vector<SDL_Scancode>& enterKeys = controls.keysOf(Action::Enter);
    const bool enter = std::any_of(
        enterKeys.begin(), enterKeys.end(), [&keyboard](SDL_Scancode key) { return keyboard.isKeyDown(key); });
    const bool alt = keyboard.isKeyDown(SDL_SCANCODE_LALT) || keyboard.isKeyDown(SDL_SCANCODE_RALT);
    keys.set(GameKey::Enter, enter && !alt);
    return keys;
}

Keyboard::State keyboardStateOf(GameKeys keys)
{
    Keyboard::State state{};
    for (int i = 0; i < kGameKeyCount; ++i)
        if (keys.isHeld(static_cast<GameKey>(i)))
            state[kPlaybackKeys[static_cast<size_t>(i)]] = 1;
    return state;
}
