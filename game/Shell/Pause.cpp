#include "Shell/Pause.h"

#include "Audio/Music.h"
#include "Core/Core.h"
#include "Fight/World.h"
#include "Frame/Controls.h"
#include "Graphics/Renderer.h"
#include "Input/Input.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kTitleSize = 56; // points
constexpr int kKeysSize = 22; // points
constexpr int kBlended = 1;
constexpr int kTitleRow = 290; // logical pixels
constexpr int kKeysRow = 380;
// Black at this opacity (of 255) over the last picture.
const Color kDim{0, 0, 0, 150};
const Color kWhite{255, 255, 255, 255};
constexpr const char* kFontPath = "data/ttf/tahomabd.ttf";

bool pressed(const Input& input, SDL_Scancode key)
{
    const auto& presses = input.keyPresses();
    return std::any_of(presses.begin(), presses.end(), [key](const SDL_Keysym& k) { return k.scancode == key; });
}

void centre(Text& text, int row)
{
    text.rect().x = (kLogicalSize.w - text.rect().w) / 2;
    text.rect().y = row;
}

// Escape as keyboards print it.
std::string shownKey(SDL_Scancode key) { return key == SDL_SCANCODE_ESCAPE ? "Esc" : keyName(key); }

} // namespace

std::string pauseKeysLine(const Controls& controls)
{
    std::vector<std::string> names;
    for (const SDL_Scancode key : controls.keysOf(Action::Pause))
        names.push_back(shownKey(key));
    for (const SDL_GameControllerButton button : controls.buttonsOf(PadAction::Pause))
        names.push_back(shownPadButton(button));
    std::string resume;
    for (size_t i = 0; i < names.size(); ++i)
        resume += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    return (resume.empty() ? "" : resume + ": resume      ") + "O or Y: options      Q: quit";
}

Pause::Pause()
    : titleFont_(kFontPath, kTitleSize)
    , keysFont_(kFontPath, kKeysSize)
    , title_(titleFont_, "Paused", kWhite, {0, 0}, kBlended)
    , keys_(keysFont_, pauseKeysLine(boundControls()), kWhite, {0, 0}, kBlended)
{
    centre(title_, kTitleRow);
    centre(keys_, kKeysRow);
}

bool Pause::update(Input& input, Music& music, bool fightGoesOn)
{
    const Controls& controls = boundControls();
    const std::vector<SDL_Scancode>& keys = controls.keysOf(Action::Pause);
    const std::vector<SDL_GameControllerButton>& buttons = controls.buttonsOf(PadAction::Pause);
    const bool padPressed = std::any_of(buttons.begin(), buttons.end(),
        [&input](SDL_GameControllerButton button) { return input.controllers().isButtonPressed(button); });
    const bool toggle
        = std::any_of(keys.begin(), keys.end(), [&input](SDL_Scancode key) { return pressed(input, key); })
        || (padPressed && (paused_ || fightGoesOn));
    // A pad pulled out in the middle of the fight leaves its player without control: the fight waits.
    const bool padLost = input.controllers().wasPadRemoved() && fightGoesOn;
    if (paused_ && pressed(input, SDL_SCANCODE_Q)) {
        input.stop();
        return true;
    }
    if (!paused_ && (toggle || input.lostFocus() || padLost))
        enter(music);
    else if (paused_ && toggle)
        leave(music);
    return paused_;
}

void Pause::enter(Music& music)
{
    paused_ = true;
    music.pause();
    // The target (or, without one, a browser's canvas, which keeps its drawing) still holds the last
    // frame played: this frame's drawing has not begun. Its pixels are kept in a plain texture, which a
    // reset of the render targets (a resize under Direct3D) leaves whole.
    Core& core = Core::instance();
    if (core.hasRenderer())
        picture_.emplace(core.captureFrame());
}

void Pause::leave(Music& music)
{
    paused_ = false;
    picture_.reset();
    music.resume();
}

bool Pause::asksForOptions(Input& input) const
{
    return paused_ && (pressed(input, SDL_SCANCODE_O) || input.controllers().isButtonPressed(SDL_CONTROLLER_BUTTON_Y));
}

void Pause::draw()
{
    drawPicture();
    title_.draw();
    // The options screen, opened from here, may have bound other keys.
    keys_.setText(pauseKeysLine(boundControls()));
    centre(keys_, kKeysRow);
    keys_.draw();
}

void Pause::drawPicture()
{
    Core& core = Core::instance();
    Renderer& renderer = core.renderer();
    const Rect screen{0, 0, core.logicalSize().w, core.logicalSize().h};
    if (picture_)
        renderer.copy(*picture_, screen);
    renderer.setBlendMode(SDL_BLENDMODE_BLEND);
    renderer.fillRect(screen, kDim);
    renderer.setBlendMode(SDL_BLENDMODE_NONE);
}
