#pragma once

#include "Settings/Settings.h"

#include <string>
#include <vector>

// The options screen's pages and rows as plain state over a Settings value: which row is chosen, what a
// command does to the settings, what each row shows, and the wait for a new key or pad button. The rows
// walk the settings' own table: a new setting shows up here without a line of its own. Devices and
// drawing are OptionsScreen's.
class OptionsMenu {
public:
    // The main page lists every value setting, then "Controls", "Reset to defaults" and "Back"; the
    // controls page lists every key and pad binding, then "Back".
    enum class Page { Main, Controls };
    enum class Command { Up, Down, Left, Right, Activate, Back };
    enum class Waiting { None, Key, PadButton };

    explicit OptionsMenu(const Settings& settings);

    // Each returns whether the settings changed (and so must be applied and saved).
    bool command(Command command);
    // While waiting for a key: Esc cancels; a key another action already has is refused with a message and
    // the wait goes on; any other key becomes the action's only key. Ignored when waiting for nothing, and
    // while waiting for a pad button only Esc counts.
    bool pressKey(SDL_Scancode key);
    // The same for a pad button: Back cancels, the d-pad keeps its role; while waiting for a key, B cancels.
    bool pressPadButton(SDL_GameControllerButton button);
    void cancelWait();
    // The row under the pointer; out-of-range rows are ignored.
    void choose(int row);

    Page page() const { return page_; }
    int chosen() const { return chosen_; }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    std::string label(int row) const;
    // The value as the player reads it: "80 %", "Pixel-perfect", "Left Ctrl, Right Ctrl"; empty for rows
    // that lead somewhere.
    std::string value(int row) const;
    // Whether Left and Right change the row's value.
    bool isAdjustable(int row) const;
    Waiting waiting() const { return waiting_; }
    bool isClosed() const { return closed_; }
    const std::string& message() const { return message_; }
    // Whether the message refuses something (a key already taken) rather than tells.
    bool isWarning() const { return warning_; }
    void setMessage(const std::string& message, bool warning);
    const Settings& settings() const { return settings_; }

private:
    enum class RowKind { Setting, Controls, Reset, Back };
    struct Row {
        RowKind kind;
        const SettingField* field = nullptr;
    };

    void showPage(Page page, int chosen);
    bool step(const SettingField& field, int direction);
    bool activate();
    void goBack();
    // Makes the key or button the only one of the action being bound, unless another action of the same
    // lists holds it already: then it is refused, with a message naming that action, and the wait goes on.
    template <typename Binding, size_t N>
    bool bind(std::array<std::vector<Binding>, N>& lists, Binding binding, const std::string& name,
        std::string (*actionLabel)(int), const char* noun);

    Settings settings_;
    Page page_ = Page::Main;
    std::vector<Row> rows_;
    int chosen_ = 0;
    Waiting waiting_ = Waiting::None;
    bool closed_ = false;
    std::string message_;
    bool warning_ = false;
};
