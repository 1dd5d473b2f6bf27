#include "Input/Keyboard.h"

#include <algorithm>
#include <utility>

namespace {

bool isValid(int scancode) { return scancode >= 0 && scancode < Keyboard::kKeyCount; }

void copySdlState(Keyboard::State& state)
{
    int count = 0;
    const uint8_t* sdlState = SDL_GetKeyboardState(&count);
    state.fill(0);
    std::copy_n(sdlState, std::clamp(count, 0, Keyboard::kKeyCount), state.begin());
}

// The modifier bits a scripted keyboard holds: those of its held modifier keys.
uint16_t scriptedMods(const Keyboard::State& held)
{
    static constexpr std::pair<SDL_Scancode, uint16_t> kModifierKeys[]
        = {{SDL_SCANCODE_LSHIFT, KMOD_LSHIFT}, {SDL_SCANCODE_RSHIFT, KMOD_RSHIFT}, {SDL_SCANCODE_LCTRL, KMOD_LCTRL},
            {SDL_SCANCODE_RCTRL, KMOD_RCTRL}, {SDL_SCANCODE_LALT, KMOD_LALT}, {SDL_SCANCODE_RALT, KMOD_RALT},
            {SDL_SCANCODE_LGUI, KMOD_LGUI}, {SDL_SCANCODE_RGUI, KMOD_RGUI}};
    uint16_t mods = 0;
    for (const auto& [key, bit] : kModifierKeys)
        if (held[key] != 0)
            mods |= bit;
    return mods;
}

} // namespace

Keyboard::Keyboard() { copySdlState(current_); }

void Keyboard::takeSnapshot()
{
    previous_ = current_;
    previousMod_ = currentMod_;
    if (script_) {
        current_ = *script_;
        currentMod_ = scriptedMods(*script_);
    } else {
        copySdlState(current_);
        currentMod_ = static_cast<uint16_t>(SDL_GetModState());
    }
}

bool Keyboard::isKeyPressed(SDL_Scancode key) const
{
    return isValid(key) && current_[key] != 0 && previous_[key] == 0;
}

bool Keyboard::isKeyDown(SDL_Scancode key) const { return isValid(key) && current_[key] != 0; }

bool Keyboard::isKeyReleased(SDL_Scancode key) const
{
    return isValid(key) && current_[key] == 0 && previous_[key] != 0;
}

bool Keyboard::isKeyPressed(SDL_Keycode key) const { return isKeyPressed(SDL_GetScancodeFromKey(key)); }

bool Keyboard::isKeyDown(SDL_Keycode key) const { return isKeyDown(SDL_GetScancodeFromKey(key)); }

bool Keyboard::isKeyReleased(SDL_Keycode key) const { return isKeyReleased(SDL_GetScancodeFromKey(key)); }

bool Keyboard::isModPressed(uint16_t mask) const { return (currentMod_ & mask) != 0 && (previousMod_ & mask) == 0; }

bool Keyboard::isModDown(uint16_t mask) const { return (currentMod_ & mask) != 0; }

bool Keyboard::isModReleased(uint16_t mask) const { return (currentMod_ & mask) == 0 && (previousMod_ & mask) != 0; }

void Keyboard::setScript(const State& held) { script_ = held; }

void Keyboard::clearScript() { script_.reset(); }
