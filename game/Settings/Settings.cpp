#include "Settings/Settings.h"

#include "Utils/StringUtils.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::array<const char*, kActionCount> kActionNames{
    "left", "right", "up", "down", "jump", "fire", "enter", "pause"};
constexpr std::array<const char*, kPadActionCount> kPadActionNames{"jump", "fire", "pause"};
// More keys than this for one action is a damaged line, not a player's choice.
constexpr size_t kMostBindings = 8;
// A number has at most this many digits before its range is checked: no conversion can overflow.
constexpr size_t kMostDigits = 9;

const std::vector<const char*> kOnOff{"off", "on"};

SettingField number(const char* name, int high, int (*get)(const Settings&), void (*set)(Settings&, int))
{
    return {name, SettingKind::Number, 0, high, {}, get, set};
}

SettingField choice(
    const char* name, std::vector<const char*> choices, int (*get)(const Settings&), void (*set)(Settings&, int))
{
    const int high = static_cast<int>(choices.size()) - 1;
    return {name, SettingKind::Choice, 0, high, std::move(choices), get, set};
}

std::vector<SettingField> makeFields()
{
    std::vector<SettingField> fields{
        number(
            "music_volume", kMaxVolume, [](const Settings& s) { return s.musicVolume; },
            [](Settings& s, int v) { s.musicVolume = v; }),
        number(
            "effects_volume", kMaxVolume, [](const Settings& s) { return s.effectsVolume; },
            [](Settings& s, int v) { s.effectsVolume = v; }),
        choice(
            "fullscreen", kOnOff, [](const Settings& s) { return int{s.fullscreen}; },
            [](Settings& s, int v) { s.fullscreen = v != 0; }),
        choice(
            "scaling", {"smooth", "sharp", "pixel-perfect"},
            [](const Settings& s) { return static_cast<int>(s.scaling); },
            [](Settings& s, int v) { s.scaling = static_cast<Scaling>(v); }),
    };
    for (int i = 0; i < kActionCount; ++i)
        fields.push_back({settingName(static_cast<Action>(i)), SettingKind::Keys, 0, 0, {}, nullptr, nullptr, i});
    for (int i = 0; i < kPadActionCount; ++i)
        fields.push_back(
            {settingName(static_cast<PadAction>(i)), SettingKind::PadButtons, 0, 0, {}, nullptr, nullptr, i});
    fields.push_back(choice(
        "timer", kOnOff, [](const Settings& s) { return int{s.timer}; }, [](Settings& s, int v) { s.timer = v != 0; }));
    fields.push_back(number(
        "jump_buffer", kMaxJumpBuffer, [](const Settings& s) { return s.jumpBuffer; },
        [](Settings& s, int v) { s.jumpBuffer = v; }));
    fields.push_back(number(
        "rumble", kMaxRumble, [](const Settings& s) { return s.rumble; }, [](Settings& s, int v) { s.rumble = v; }));
    fields.push_back(choice(
        "language", {"ru", "en"}, [](const Settings& s) { return static_cast<int>(s.language); },
        [](Settings& s, int v) { s.language = static_cast<Language>(v); }));
    return fields;
}

std::string trimmed(std::string text)
{
    trim(text);
    return text;
}

// The key name that starts at `from` and where it ends: the longest piece SDL knows that ends the text or
// a comma. A name may hold a comma itself ("," and "Keypad ,"): then the comma after it ends it.
std::optional<std::pair<SDL_Scancode, size_t>> readKeyName(const std::string& text, size_t from)
{
    for (size_t end = text.size(); end != std::string::npos && end > from;
         end = end == 0 ? std::string::npos : text.rfind(',', end - 1))
        if (const std::optional<SDL_Scancode> key = keyNamed(trimmed(text.substr(from, end - from))))
            return std::make_pair(*key, end);
    return std::nullopt;
}

std::optional<std::string> readKeys(const std::string& text, std::vector<SDL_Scancode>& keys)
{
    size_t at = 0;
    while (true) {
        at = std::min(text.find_first_not_of(" \t", at), text.size());
        const auto key = readKeyName(text, at);
        if (!key)
            return at == text.size() ? "a key name is missing" : "unknown key '" + text.substr(at) + "'";
        if (std::find(keys.begin(), keys.end(), key->first) == keys.end())
            keys.push_back(key->first);
        if (keys.size() > kMostBindings)
            return "more than " + std::to_string(kMostBindings) + " keys";
        at = text.find(',', key->second);
        if (at == std::string::npos)
            return std::nullopt;
        ++at;
    }
}

std::optional<std::string> readPadButtons(const std::string& text, std::vector<SDL_GameControllerButton>& buttons)
{
    for (const std::string& piece : split(text, ',')) {
        const std::string name = trimmed(piece);
        const std::optional<SDL_GameControllerButton> button = padButtonNamed(name);
        if (!button)
            return name.empty() ? "a button name is missing" : "unknown pad button '" + name + "'";
        if (std::find(buttons.begin(), buttons.end(), *button) == buttons.end())
            buttons.push_back(*button);
        if (buttons.size() > kMostBindings)
            return "more than " + std::to_string(kMostBindings) + " buttons";
    }
    return std::nullopt;
}

std::optional<std::string> readNumber(const SettingField& field, const std::string& text, int& value)
{
    const std::string range = std::to_string(field.low) + " to " + std::to_string(field.high);
    if (text.empty() || text.size() > kMostDigits || text.find_first_not_of("0123456789") != std::string::npos)
        return "'" + text + "' is not a whole number from " + range;
    value = std::stoi(text);
    if (value < field.low || value > field.high)
        return text + " is out of range (" + range + ")";
    return std::nullopt;
}

std::optional<std::string> readChoice(const SettingField& field, std::string text, int& value)
{
    toLower(text);
    const auto found
        = std::find_if(field.choices.begin(), field.choices.end(), [&text](const char* word) { return text == word; });
    if (found != field.choices.end()) {
        value = static_cast<int>(found - field.choices.begin());
        return std::nullopt;
    }
    std::string words;
    for (const char* word : field.choices)
        words += (words.empty() ? "" : ", ") + std::string(word);
    return "'" + text + "' is not one of " + words;
}

template <typename T, typename Name> std::string joined(const std::vector<T>& items, Name name)
{
    std::string text;
    for (const T& item : items)
        text += (text.empty() ? "" : ", ") + name(item);
    return text;
}

} // namespace

Settings defaultSettings()
{
    Settings settings;
    auto& keys = settings.keys;
    keys[static_cast<size_t>(Action::Left)] = {SDL_SCANCODE_A, SDL_SCANCODE_LEFT};
    keys[static_cast<size_t>(Action::Right)] = {SDL_SCANCODE_D, SDL_SCANCODE_RIGHT};
    keys[static_cast<size_t>(Action::Up)] = {SDL_SCANCODE_W, SDL_SCANCODE_UP};
    keys[static_cast<size_t>(Action::Down)] = {SDL_SCANCODE_S, SDL_SCANCODE_DOWN};
    keys[static_cast<size_t>(Action::Jump)] = {SDL_SCANCODE_SPACE};
    keys[static_cast<size_t>(Action::Fire)]
        = {SDL_SCANCODE_LCTRL, SDL_SCANCODE_RCTRL, SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RSHIFT};
    keys[static_cast<size_t>(Action::Enter)] = {SDL_SCANCODE_RETURN, SDL_SCANCODE_KP_ENTER};
    keys[static_cast<size_t>(Action::Pause)] = {SDL_SCANCODE_ESCAPE, SDL_SCANCODE_P};
    auto& buttons = settings.padButtons;
    buttons[static_cast<size_t>(PadAction::Jump)] = {SDL_CONTROLLER_BUTTON_A};
    buttons[static_cast<size_t>(PadAction::Fire)] = {SDL_CONTROLLER_BUTTON_X};
    buttons[static_cast<size_t>(PadAction::Pause)] = {SDL_CONTROLLER_BUTTON_START};
    return settings;
}

const std::vector<SettingField>& settingFields()
{
    static const std::vector<SettingField> fields = makeFields();
    return fields;
}

const SettingField* settingNamed(const std::string& name)
{
    for (const SettingField& field : settingFields())
        if (name == field.name)
            return &field;
    return nullptr;
}

std::string settingName(Action action) { return std::string("key.") + actionName(action); }
std::string settingName(PadAction action) { return std::string("pad.") + padActionName(action); }
const char* actionName(Action action) { return kActionNames[static_cast<size_t>(action)]; }
const char* padActionName(PadAction action) { return kPadActionNames[static_cast<size_t>(action)]; }

std::string settingText(const SettingField& field, const Settings& settings)
{
    switch (field.kind) {
    case SettingKind::Number:
        return std::to_string(field.get(settings));
    case SettingKind::Choice:
        return field.choices[static_cast<size_t>(field.get(settings))];
    case SettingKind::Keys:
        return joined(settings.keys[static_cast<size_t>(field.index)], keyName);
    case SettingKind::PadButtons:
        return joined(settings.padButtons[static_cast<size_t>(field.index)], padButtonName);
    }
    return "";
}

std::optional<std::string> setSetting(const SettingField& field, Settings& settings, const std::string& text)
{
    int value = 0;
    std::optional<std::string> error;
    switch (field.kind) {
    case SettingKind::Number:
        error = readNumber(field, text, value);
        break;
    case SettingKind::Choice:
        error = readChoice(field, text, value);
        break;
    case SettingKind::Keys: {
        std::vector<SDL_Scancode> keys;
        if (!(error = readKeys(text, keys)))
            settings.keys[static_cast<size_t>(field.index)] = std::move(keys);
        return error;
    }
    case SettingKind::PadButtons: {
        std::vector<SDL_GameControllerButton> buttons;
        if (!(error = readPadButtons(text, buttons)))
            settings.padButtons[static_cast<size_t>(field.index)] = std::move(buttons);
        return error;
    }
    }
    if (!error)
        field.set(settings, value);
    return error;
}

std::string keyName(SDL_Scancode key) { return SDL_GetScancodeName(key); }

std::optional<SDL_Scancode> keyNamed(const std::string& name)
{
    const SDL_Scancode key = name.empty() ? SDL_SCANCODE_UNKNOWN : SDL_GetScancodeFromName(name.c_str());
    if (key == SDL_SCANCODE_UNKNOWN)
        return std::nullopt;
    return key;
}

std::string padButtonName(SDL_GameControllerButton button)
{
    const char* name = SDL_GameControllerGetStringForButton(button);
    return name != nullptr ? name : "";
}

std::string shownPadButton(SDL_GameControllerButton button)
{
    // SDL names them in lower case ("a", "start", "leftshoulder").
    std::string name = padButtonName(button);
    if (!name.empty())
        name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    return name;
}

std::optional<SDL_GameControllerButton> padButtonNamed(const std::string& name)
{
    std::string lower = name;
    toLower(lower);
    const SDL_GameControllerButton button
        = lower.empty() ? SDL_CONTROLLER_BUTTON_INVALID : SDL_GameControllerGetButtonFromString(lower.c_str());
    if (button == SDL_CONTROLLER_BUTTON_INVALID)
        return std::nullopt;
    return button;
}
