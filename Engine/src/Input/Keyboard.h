#pragma once

#include <SDL_keyboard.h>
#include <SDL_scancode.h>

#include <array>
#include <cstdint>
#include <optional>

// Two snapshots of the keyboard, the previous poll's and the current one's. A key that went down
// and up again between two polls is not seen at all. Scancodes outside the snapshot read as "up".
class Keyboard {
public:
    static constexpr int kKeyCount = 512;
    using State = std::array<uint8_t, kKeyCount>;

    Keyboard();

    // previous := current, current := SDL's keyboard state (or the scripted state, when one is set).
    void takeSnapshot();

    bool isKeyPressed(SDL_Scancode key) const;
    bool isKeyDown(SDL_Scancode key) const;
    bool isKeyReleased(SDL_Scancode key) const;
    bool isKeyPressed(SDL_Keycode key) const;
    bool isKeyDown(SDL_Keycode key) const;
    bool isKeyReleased(SDL_Keycode key) const;

    bool isModPressed(uint16_t mask) const;
    bool isModDown(uint16_t mask) const;
    bool isModReleased(uint16_t mask) const;

    // A scripted keyboard for bots, tests and tools: from the next snapshot on, the held keys are the
    // given ones instead of SDL's state, until clearScript(). The game's queries are unchanged.
    void setScript(const State& held);
    void clearScript();
    bool isScripted() const { return script_.has_value(); }

private:
    State previous_{};
    State current_{};
    uint16_t previousMod_ = 0;
    uint16_t currentMod_ = 0;
    std::optional<State> script_;
};
