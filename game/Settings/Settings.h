#pragma once

#include <SDL_gamecontroller.h>
#include <SDL_keyboard.h>
#include <SDL_scancode.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

// What a player can set, kept in userData/settings.ini. The defaults are the game as it plays with no
// settings file at all: every default below is the behaviour the game had before it had settings.

enum class Scaling { Smooth, Sharp, PixelPerfect };
enum class Language { Russian, English };
// The keyboard's actions, each bound to a list of keys.
enum class Action { Left, Right, Up, Down, Jump, Fire, Enter, Pause };
inline constexpr int kActionCount = 8;
// The pad's rebindable buttons; the sticks, the d-pad and the right trigger keep their roles.
enum class PadAction { Jump, Fire, Pause };
inline constexpr int kPadActionCount = 3;

inline constexpr int kMaxVolume = 100;
inline constexpr int kMaxJumpBuffer = 6; // frames
inline constexpr int kMaxRumble = 100;
// Strong enough to feel a hit, far from the pad's full shake.
inline constexpr int kDefaultRumble = 50;

struct Settings {
    int musicVolume = kMaxVolume; // percent of the game's own mix
    int effectsVolume = kMaxVolume;
    bool fullscreen = false;
    Scaling scaling = Scaling::Smooth;
    std::array<std::vector<SDL_Scancode>, kActionCount> keys;
    std::array<std::vector<SDL_GameControllerButton>, kPadActionCount> padButtons;
    bool timer = false;
    // Frames during which a jump pressed in the air is kept until the player stands.
    int jumpBuffer = 0;
    int rumble = kDefaultRumble; // percent of the pad's strongest shake
    Language language = Language::Russian;

    bool operator==(const Settings&) const = default;
};

// The defaults, with the keys and buttons the game always had.
Settings defaultSettings();

// How a setting's value is written.
enum class SettingKind {
    Number, // whole numbers from low to high
    Choice, // one word of the choices, the value being its index
    Keys, // SDL scancode names separated by commas
    PadButtons, // SDL game-controller button names separated by commas
};

// One setting: its name in the file, the kind and range of its value, and where it lives in Settings.
// The parser, the writer, the options screen and the tests all walk the one table of these.
struct SettingField {
    std::string name;
    SettingKind kind;
    int low = 0;
    int high = 0;
    std::vector<const char*> choices;
    // Number and Choice: the value as a whole number.
    int (*get)(const Settings&) = nullptr;
    void (*set)(Settings&, int) = nullptr;
    // Keys: the Action; PadButtons: the PadAction.
    int index = 0;
};

// In the order the options screen lists them and the writer appends them.
const std::vector<SettingField>& settingFields();
const SettingField* settingNamed(const std::string& name);
// "key.jump", "pad.fire": the names of the bindings in the file.
std::string settingName(Action action);
std::string settingName(PadAction action);
// left right up down jump fire enter pause; jump fire pause.
const char* actionName(Action action);
const char* padActionName(PadAction action);

// The value as the file writes it: "100", "on", "pixel-perfect", "Left Ctrl, Right Ctrl".
std::string settingText(const SettingField& field, const Settings& settings);
// Reads a value into the settings; on failure the settings are unchanged and the reason is returned.
std::optional<std::string> setSetting(const SettingField& field, Settings& settings, const std::string& text);

// A key's name as SDL writes it, and back (any case; nullopt for a name SDL does not know).
std::string keyName(SDL_Scancode key);
std::optional<SDL_Scancode> keyNamed(const std::string& name);
std::string padButtonName(SDL_GameControllerButton button);
std::optional<SDL_GameControllerButton> padButtonNamed(const std::string& name);
// A pad's button as the pads print it ("A", "Start"), for the screens that name it.
std::string shownPadButton(SDL_GameControllerButton button);
