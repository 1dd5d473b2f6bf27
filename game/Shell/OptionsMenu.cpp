#include "Shell/OptionsMenu.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

// Volumes and rumble move by this much a press; the jump buffer, whose range is short, by one frame.
constexpr int kCoarseStep = 10;
constexpr int kFineRange = 10;

std::string capitalised(std::string text)
{
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

std::string keyActionLabel(int action) { return capitalised(actionName(static_cast<Action>(action))); }

std::string padActionLabel(int action) { return "Pad " + std::string(padActionName(static_cast<PadAction>(action))); }

// The action other than `own` whose list holds the key or button already; -1 for none.
template <typename Binding, size_t N>
int holderOf(const std::array<std::vector<Binding>, N>& lists, int own, Binding binding)
{
    for (size_t i = 0; i < N; ++i)
        if (static_cast<int>(i) != own && std::find(lists[i].begin(), lists[i].end(), binding) != lists[i].end())
            return static_cast<int>(i);
    return -1;
}

// "music_volume" reads "Music volume".
std::string labelOf(const SettingField& field)
{
    if (field.kind == SettingKind::Keys)
        return keyActionLabel(field.index);
    if (field.kind == SettingKind::PadButtons)
        return padActionLabel(field.index);
    if (field.name == "fullscreen")
        return "Full screen";
    std::string label = field.name;
    std::replace(label.begin(), label.end(), '_', ' ');
    return capitalised(label);
}

std::string valueOf(const SettingField& field, const Settings& settings)
{
    const std::string text = settingText(field, settings);
    switch (field.kind) {
    case SettingKind::Number: {
        // The settings out of 100 are percents; the only other, the jump buffer, counts frames.
        const int value = field.get(settings);
        if (field.high == kMaxVolume)
            return text + " %";
        return text + (value == 1 ? " frame" : " frames");
    }
    case SettingKind::Choice:
        // Each language by its own name.
        if (text == "ru")
            return "Русский";
        if (text == "en")
            return "English";
        return capitalised(text);
    case SettingKind::Keys:
        return text.empty() ? "none" : text;
    case SettingKind::PadButtons: {
        std::string shown;
        for (const SDL_GameControllerButton button : settings.padButtons[static_cast<size_t>(field.index)])
            shown += (shown.empty() ? "" : ", ") + shownPadButton(button);
        return shown.empty() ? "none" : shown;
    }
    }
    return text;
}

} // namespace

OptionsMenu::OptionsMenu(const Settings& settings)
    : settings_(settings)
{
    showPage(Page::Main, 0);
}

void OptionsMenu::showPage(Page page, int chosen)
{
    page_ = page;
    rows_.clear();
    for (const SettingField& field : settingFields()) {
        const bool binding = field.kind == SettingKind::Keys || field.kind == SettingKind::PadButtons;
        if (binding == (page == Page::Controls))
            rows_.push_back({RowKind::Setting, &field});
    }
    if (page == Page::Main)
        rows_.insert(rows_.end(), {{RowKind::Controls}, {RowKind::Reset}});
    rows_.push_back({RowKind::Back});
    chosen_ = std::clamp(chosen, 0, rowCount() - 1);
}

bool OptionsMenu::command(Command command)
{
    if (waiting_ != Waiting::None || closed_)
        return false;
    const Row& row = rows_[static_cast<size_t>(chosen_)];
    switch (command) {
    case Command::Up:
    case Command::Down:
        // The list wraps round at both ends.
        chosen_ = (chosen_ + (command == Command::Up ? rowCount() - 1 : 1)) % rowCount();
        message_.clear();
        return false;
    case Command::Left:
    case Command::Right:
        return isAdjustable(chosen_) && step(*row.field, command == Command::Left ? -1 : 1);
    case Command::Activate:
        return activate();
    case Command::Back:
        goBack();
        return false;
    }
    return false;
}

bool OptionsMenu::step(const SettingField& field, int direction)
{
    const int before = field.get(settings_);
    int value = before + direction * (field.high - field.low > kFineRange ? kCoarseStep : 1);
    // A choice goes round; a number stops at its ends (a volume never jumps from silent to loud).
    if (field.kind == SettingKind::Choice)
        value = value > field.high ? field.low : value < field.low ? field.high : value;
    field.set(settings_, std::clamp(value, field.low, field.high));
    message_.clear();
    if (field.name == "jump_buffer")
        setMessage("The jump buffer takes effect when the game starts again", false);
    return field.get(settings_) != before;
}

bool OptionsMenu::activate()
{
    const Row& row = rows_[static_cast<size_t>(chosen_)];
    switch (row.kind) {
    case RowKind::Setting:
        if (row.field->kind == SettingKind::Choice)
            return step(*row.field, 1);
        if (row.field->kind == SettingKind::Keys) {
            waiting_ = Waiting::Key;
            setMessage("Press a key for " + labelOf(*row.field) + "  (Esc: cancel)", false);
        } else if (row.field->kind == SettingKind::PadButtons) {
            waiting_ = Waiting::PadButton;
            setMessage("Press a pad button for " + labelOf(*row.field) + "  (Esc or Back: cancel)", false);
        }
        return false;
    case RowKind::Controls:
        showPage(Page::Controls, 0);
        message_.clear();
        return false;
    case RowKind::Reset: {
        const bool changed = settings_ != defaultSettings();
        settings_ = defaultSettings();
        setMessage("Every setting is back to its default", false);
        return changed;
    }
    case RowKind::Back:
        goBack();
        return false;
    }
    return false;
}

void OptionsMenu::goBack()
{
    message_.clear();
    if (page_ == Page::Main) {
        closed_ = true;
        return;
    }
    // Back on the main page's "Controls" row, which led here.
    showPage(Page::Main, 0);
    for (int i = 0; i < rowCount(); ++i)
        if (rows_[static_cast<size_t>(i)].kind == RowKind::Controls)
            chosen_ = i;
}

template <typename Binding, size_t N>
bool OptionsMenu::bind(std::array<std::vector<Binding>, N>& lists, Binding binding, const std::string& name,
    std::string (*actionLabel)(int), const char* noun)
{
    const SettingField& field = *rows_[static_cast<size_t>(chosen_)].field;
    if (const int holder = holderOf(lists, field.index, binding); holder >= 0) {
        setMessage(name + " is already the " + noun + " of " + actionLabel(holder) + ": choose another", true);
        return false;
    }
    waiting_ = Waiting::None;
    std::vector<Binding>& list = lists[static_cast<size_t>(field.index)];
    const bool changed = list != std::vector<Binding>{binding};
    list = {binding};
    setMessage(labelOf(field) + ": " + name, false);
    return changed;
}

bool OptionsMenu::pressKey(SDL_Scancode key)
{
    if (waiting_ == Waiting::None)
        return false;
    if (key == SDL_SCANCODE_ESCAPE) {
        cancelWait();
        return false;
    }
    if (waiting_ != Waiting::Key)
        return false;
    // F11 switches full screen wherever the game is: it cannot be a key of the fight as well.
    if (key == SDL_SCANCODE_F11) {
        setMessage("F11 switches full screen: choose another key", true);
        return false;
    }
    return bind(settings_.keys, key, keyName(key), keyActionLabel, "key");
}

bool OptionsMenu::pressPadButton(SDL_GameControllerButton button)
{
    if (waiting_ == Waiting::Key && button == SDL_CONTROLLER_BUTTON_B) {
        cancelWait();
        return false;
    }
    if (waiting_ != Waiting::PadButton)
        return false;
    if (button == SDL_CONTROLLER_BUTTON_BACK) {
        cancelWait();
        return false;
    }
    if (button >= SDL_CONTROLLER_BUTTON_DPAD_UP && button <= SDL_CONTROLLER_BUTTON_DPAD_RIGHT) {
        setMessage("The d-pad moves and aims: choose another button", true);
        return false;
    }
    return bind(settings_.padButtons, button, shownPadButton(button), padActionLabel, "button");
}

void OptionsMenu::cancelWait()
{
    waiting_ = Waiting::None;
    message_.clear();
}

void OptionsMenu::choose(int row)
{
    if (waiting_ == Waiting::None && row >= 0 && row < rowCount() && row != chosen_) {
        chosen_ = row;
        message_.clear();
    }
}

std::string OptionsMenu::label(int row) const
{
    const Row& r = rows_.at(static_cast<size_t>(row));
    switch (r.kind) {
    case RowKind::Setting:
        return labelOf(*r.field);
    case RowKind::Controls:
        return "Controls";
    case RowKind::Reset:
        return "Reset to defaults";
    case RowKind::Back:
        return "Back";
    }
    return "";
}

std::string OptionsMenu::value(int row) const
{
    const Row& r = rows_.at(static_cast<size_t>(row));
    if (waiting_ != Waiting::None && row == chosen_)
        return "…";
    return r.kind == RowKind::Setting ? valueOf(*r.field, settings_) : "";
}

bool OptionsMenu::isAdjustable(int row) const
{
    const Row& r = rows_.at(static_cast<size_t>(row));
    return r.kind == RowKind::Setting && (r.field->kind == SettingKind::Number || r.field->kind == SettingKind::Choice);
}

void OptionsMenu::setMessage(const std::string& message, bool warning)
{
    message_ = message;
    warning_ = warning;
}
