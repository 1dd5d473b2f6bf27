#pragma once

#include "Graphics/Font.h"
#include "Graphics/Sprite.h"
#include "Graphics/Text.h"
#include "Shell/OptionsMenu.h"

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class Input;
class SettingsFile;

// The options screen, opened from the pause overlay and drawn over its dimmed picture. Worked by the
// keyboard (arrows or the movement keys, Enter, Esc), a pad (d-pad, A, B) and the mouse (pointing chooses
// a row, a click activates it or, on a value, lowers it left of the value's middle and raises it right of
// it; the wheel changes a value, the right button goes back). Every change is applied at once and saved
// at once; nothing is written while the player only looks.
class OptionsScreen {
public:
    // `apply` puts settings into effect in the running game.
    OptionsScreen(SettingsFile& file, std::function<void(const Settings&)> apply);

    // Shows the main page with the settings the file holds now (full screen as the window is), its first row
    // chosen.
    void open();
    bool isOpen() const { return menu_.has_value(); }
    // This frame's key presses, pad buttons and mouse; Esc (or B, or Back) on the main page closes.
    void update(Input& input);
    void draw();

    // The logical rectangle of a row of the page shown, for the pointer.
    static Rect rowRect(int row);

private:
    // Where the picture's corners lie in the window.
    using Layout = std::pair<Point, Point>;
    static Layout currentLayout();
    void run(OptionsMenu::Command command);
    void pointer(Input& input);
    // Applies and saves the menu's settings; a file that cannot be written is said on screen.
    void keep();

    SettingsFile& file_;
    std::function<void(const Settings&)> apply_;
    std::optional<OptionsMenu> menu_;
    Sprite panel_;
    Sprite cursor_;
    Sprite optionsTitle_;
    Sprite controlsTitle_;
    Font rowFont_;
    Font hintFont_;
    std::vector<Text> labels_;
    std::vector<Text> values_;
    Text message_;
    Text hint_;
    Layout layout_;
    // Frames to go before the pointer chooses rows again after the picture moved.
    int settling_ = 0;
};
