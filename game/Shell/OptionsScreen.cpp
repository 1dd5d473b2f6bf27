#include "Shell/OptionsScreen.h"

#include "Core/Core.h"
#include "Input/CoordinateMapping.h"
#include "Input/Input.h"
#include "Input/Window.h"
#include "Settings/SettingsFile.h"
#include "Utils/LogFile.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

using Command = OptionsMenu::Command;

constexpr const char* kFontPath = "data/ttf/tahomabd.ttf";
constexpr int kRowSize = 20; // points
constexpr int kHintSize = 16;
constexpr int kBlended = 1;
// The panel and its contents, in logical pixels; the panel's pictures come from the asset generator.
constexpr Point kPanel{112, 56};
constexpr int kCentre = 512;
constexpr int kTitleTop = 74;
// The first row's band: the pointer finds a row anywhere in its band, the bands touching.
constexpr Rect kFirstRow{132, 159, 760, 34};
constexpr int kLabelLeft = 152;
constexpr int kValueRight = 872;
constexpr int kMessageTop = 574;
constexpr int kHintTop = 614;
// A quarter of a second: the window's events of a switch to full screen come over several frames.
constexpr int kSettlingFrames = 15;

// The game's palette: steel for what is read, gold for values, cyan for news, red for a refusal.
constexpr Color kLabel{206, 222, 236, 255};
constexpr Color kChosenLabel{255, 255, 255, 255};
constexpr Color kValue{255, 228, 140, 255};
constexpr Color kNews{120, 248, 236, 255};
constexpr Color kRefusal{255, 150, 130, 255};
constexpr Color kHint{150, 172, 200, 255};
constexpr Color kWhite{255, 255, 255, 255};

// Texts are rendered white and tinted as they are drawn: a label keeps its texture when only its colour changes.
void drawTinted(Text& text, Color color)
{
    text.texture().setColorMod(color.r, color.g, color.b);
    text.draw();
}

void place(Text& text, const std::string& string, Point at)
{
    text.setText(string.empty() ? " " : string);
    text.rect().x = at.x;
    text.rect().y = at.y;
}

void centre(Text& text, const std::string& string, int top)
{
    place(text, string, {0, top});
    text.rect().x = kCentre - text.rect().w / 2;
}

// The menu's commands of the keys pressed: the arrows, Enter and Esc on every keyboard, and the keys the
// player bound to moving, Enter and pause, so that a rebound layout works the menu too.
std::optional<Command> commandOfKey(SDL_Scancode key, const Settings& settings)
{
    static constexpr std::array<std::pair<SDL_Scancode, Command>, 7> kFixed{
        {{SDL_SCANCODE_UP, Command::Up}, {SDL_SCANCODE_DOWN, Command::Down}, {SDL_SCANCODE_LEFT, Command::Left},
            {SDL_SCANCODE_RIGHT, Command::Right}, {SDL_SCANCODE_RETURN, Command::Activate},
            {SDL_SCANCODE_KP_ENTER, Command::Activate}, {SDL_SCANCODE_ESCAPE, Command::Back}}};
    for (const auto& [fixed, command] : kFixed)
        if (key == fixed)
            return command;
    static constexpr std::array<std::pair<Action, Command>, 6> kBound{
        {{Action::Up, Command::Up}, {Action::Down, Command::Down}, {Action::Left, Command::Left},
            {Action::Right, Command::Right}, {Action::Enter, Command::Activate}, {Action::Pause, Command::Back}}};
    for (const auto& [action, command] : kBound) {
        const auto& keys = settings.keys[static_cast<size_t>(action)];
        if (std::find(keys.begin(), keys.end(), key) != keys.end())
            return command;
    }
    return std::nullopt;
}

std::optional<Command> commandOfButton(SDL_GameControllerButton button)
{
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
        return Command::Up;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        return Command::Down;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return Command::Left;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return Command::Right;
    case SDL_CONTROLLER_BUTTON_A:
        return Command::Activate;
    case SDL_CONTROLLER_BUTTON_B:
    case SDL_CONTROLLER_BUTTON_BACK:
        return Command::Back;
    default:
        return std::nullopt;
    }
}

} // namespace

OptionsScreen::OptionsScreen(SettingsFile& file, std::function<void(const Settings&)> apply)
    : file_(file)
    , apply_(std::move(apply))
    , panel_(Texture("data/img/options_panel.png"), kPanel)
    , cursor_(Texture("data/img/options_cursor.png"), kFirstRow.position())
    , optionsTitle_(Texture("data/img/options_title.png"), {0, kTitleTop})
    , controlsTitle_(Texture("data/img/controls_title.png"), {0, kTitleTop})
    , rowFont_(kFontPath, kRowSize)
    , hintFont_(kFontPath, kHintSize)
    , message_(rowFont_, " ", kWhite, {0, 0}, kBlended)
    , hint_(hintFont_, "Arrows or d-pad: choose and change     Enter or A: select     Esc or B: back", kWhite, {0, 0},
          kBlended)
{
    for (Sprite* title : {&optionsTitle_, &controlsTitle_})
        title->rect().x = kCentre - title->rect().w / 2;
    centre(hint_, hint_.text(), kHintTop);
    // A label and a value for every row either page may have: every setting, and three rows that lead somewhere.
    for (size_t i = 0; i < settingFields().size() + 3; ++i) {
        labels_.emplace_back(rowFont_, " ", kWhite, Point{0, 0}, kBlended);
        values_.emplace_back(rowFont_, " ", kWhite, Point{0, 0}, kBlended);
    }
}

Rect OptionsScreen::rowRect(int row)
{
    Rect rect = kFirstRow;
    rect.y += row * kFirstRow.h;
    return rect;
}

void OptionsScreen::open()
{
    // F11 and Alt+Enter switch full screen outside this screen: the row shows the window as it is.
    Settings shown = file_.settings();
    Core& core = Core::instance();
    if (core.hasWindow())
        shown.fullscreen = core.window().isFullscreen();
    menu_.emplace(shown);
    layout_ = currentLayout();
    settling_ = 0;
}

OptionsScreen::Layout OptionsScreen::currentLayout()
{
    Core& core = Core::instance();
    if (!core.hasWindow())
        return {};
    const Size size = core.logicalSize();
    return {toWindow(Point{0, 0}), toWindow(Point{size.w, size.h})};
}

void OptionsScreen::update(Input& input)
{
    OptionsMenu& menu = *menu_;
    const GameControllers& pads = input.controllers();
    bool changed = false;
    if (menu.waiting() != OptionsMenu::Waiting::None) {
        // A binding waits for the first key or button pressed; the right mouse button cancels.
        for (const SDL_Keysym& key : input.keyPresses())
            changed = menu.pressKey(key.scancode) || changed;
        for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b)
            if (pads.isButtonPressed(static_cast<SDL_GameControllerButton>(b)))
                changed = menu.pressPadButton(static_cast<SDL_GameControllerButton>(b)) || changed;
        for (const MousePress& press : input.mousePresses())
            if (press.button == SDL_BUTTON_RIGHT)
                menu.cancelWait();
        if (changed)
            keep();
        return;
    }
    // The pointer first: a key pressed as the pointer arrives acts on the row it chose.
    pointer(input);
    for (const SDL_Keysym& key : input.keyPresses())
        if (menu_)
            if (const std::optional<Command> command = commandOfKey(key.scancode, menu_->settings()))
                run(*command);
    // A held arrow goes on moving or changing; a held Enter or Esc acts once.
    for (const SDL_Keysym& key : input.keyRepeats())
        if (menu_)
            if (const std::optional<Command> command = commandOfKey(key.scancode, menu_->settings()))
                if (command != Command::Activate && command != Command::Back)
                    run(*command);
    for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b)
        if (pads.isButtonPressed(static_cast<SDL_GameControllerButton>(b)))
            if (const std::optional<Command> command = commandOfButton(static_cast<SDL_GameControllerButton>(b)))
                run(*command);
}

void OptionsScreen::run(Command command)
{
    // Presses after the one that closed the screen, or that began a wait, are not for the menu.
    if (!menu_ || menu_->waiting() != OptionsMenu::Waiting::None)
        return;
    if (menu_->command(command))
        keep();
    if (menu_->isClosed())
        menu_.reset();
}

void OptionsScreen::pointer(Input& input)
{
    const auto rowAt = [this](Point at) {
        for (int i = 0; i < menu_->rowCount(); ++i)
            if (rowRect(i).contains(at))
                return i;
        return -1;
    };
    const Mouse& mouse = input.mouse();
    const int pointed = rowAt(mouse.position());
    // Full screen and the scaling move the picture in the window, and with it the pointer's logical place
    // under a still hand: pointing chooses again once the picture has kept its place for a moment.
    if (const Layout layout = currentLayout(); layout != layout_) {
        layout_ = layout;
        settling_ = kSettlingFrames;
    } else if (settling_ > 0) {
        --settling_;
    }
    if (pointed >= 0 && settling_ == 0 && mouse.position() != mouse.previousPosition())
        menu_->choose(pointed);
    if (pointed >= 0 && menu_->isAdjustable(pointed) && mouse.wheel().y != 0) {
        menu_->choose(pointed);
        run(mouse.isWheelUp() ? Command::Right : Command::Left);
    }
    for (const MousePress& press : input.mousePresses()) {
        const int row = menu_ ? rowAt(press.position) : -1;
        if (menu_ && press.button == SDL_BUTTON_RIGHT)
            run(Command::Back);
        if (row < 0 || press.button != SDL_BUTTON_LEFT)
            continue;
        // A value is lowered left of its middle and raised right of it; anywhere else the row is activated.
        menu_->choose(row);
        const Rect value = values_[static_cast<size_t>(row)].rect();
        const bool onValue = menu_->isAdjustable(row) && press.position.x >= value.x;
        const bool lower = press.position.x < value.x + value.w / 2;
        run(onValue ? (lower ? Command::Left : Command::Right) : Command::Activate);
    }
}

void OptionsScreen::keep()
{
    apply_(menu_->settings());
    std::string error;
    if (!file_.write(menu_->settings(), error)) {
        writeLogLine(logFile(), error, true);
        menu_->setMessage("Not saved: " + error, true);
    }
}

void OptionsScreen::draw()
{
    if (!menu_)
        return;
    const OptionsMenu& menu = *menu_;
    panel_.draw();
    (menu.page() == OptionsMenu::Page::Main ? optionsTitle_ : controlsTitle_).draw();
    for (int i = 0; i < menu.rowCount(); ++i) {
        const Rect row = rowRect(i);
        const bool chosen = i == menu.chosen();
        Text& label = labels_[static_cast<size_t>(i)];
        Text& value = values_[static_cast<size_t>(i)];
        place(label, menu.label(i), {kLabelLeft, 0});
        // The chosen value shows the arrows that change it.
        const std::string shown = chosen && menu.isAdjustable(i) ? "◀  " + menu.value(i) + "  ▶" : menu.value(i);
        place(value, shown, {0, 0});
        value.rect().x = kValueRight - value.rect().w;
        label.rect().y = value.rect().y = row.y + (row.h - label.rect().h) / 2;
        if (chosen) {
            cursor_.rect().y = row.y + (row.h - cursor_.rect().h) / 2;
            cursor_.draw();
        }
        drawTinted(label, chosen ? kChosenLabel : kLabel);
        drawTinted(value, kValue);
    }
    centre(message_, menu.message(), kMessageTop);
    drawTinted(message_, menu.isWarning() ? kRefusal : kNews);
    drawTinted(hint_, kHint);
}
