#pragma once
// Core: start-up, the frame loop, scenes, fatal errors and the frame limiter. Owns the window, the
// renderer, the off-screen target and the input state. Depends on Input, Graphics, Math and Utils.

#include "Core/SceneManager.h"
#include "Graphics/Image.h"
#include "Graphics/Texture.h"
#include "Input/Input.h"
#include "Math/Rect.h"
#include "Math/Size.h"

#include <SDL_render.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Window;
class Renderer;

// How the off-screen picture is scaled to the window: Smooth with the filtering the render-scale hint
// chose at init, Sharp with nearest pixels at the largest size that fits, WholeMultiples with nearest
// pixels at the largest whole multiple of its size that fits (at least 1x shrunk to fit, as Sharp).
enum class PictureScaling { Smooth, Sharp, WholeMultiples };

class Core {
public:
    static Core& instance();
    Core(const Core&) = delete;
    Core& operator=(const Core&) = delete;

    // Starts SDL video and audio, the font library and the mixer (44 100 Hz, S16LSB, stereo, 2048),
    // creates the hidden centred OpenGL window, the accelerated renderer and, in render-target mode,
    // an ARGB8888 target of the given size (in the window's own format under the software renderer,
    // see chooseHeadlessRendering). Any failure is fatal, and so is a video driver without a screen
    // that SDL fell back to (one asked for through SDL_VIDEODRIVER is fine). A second init replaces
    // window and renderer; it is fatal while textures of the first renderer are alive.
    void init(const std::string& title, Size size, bool useRenderTarget);

    // Writes the start-up report, shows the window and runs frames at fps() until a quit event.
    void run();
    // One frame without the limiter: poll, updates, draw step, present. Tests and tools use it to run
    // frames as fast as the machine allows.
    void runFrame();

    uint32_t fps() const { return fps_; }
    void setFps(uint32_t fps) { fps_ = fps; }

    // Before init, when set false: the mixer opens on SDL's silent driver, so sounds and music load
    // and play as no-ops. On by default.
    void setAudioEnabled(bool enabled) { audioEnabled_ = enabled; }
    bool audioEnabled() const { return audioEnabled_; }

    Input& input() { return input_; }
    // Both fatal before init: nothing can be shown or drawn without them.
    Window& window();
    Renderer& renderer();
    bool hasWindow() const { return window_ != nullptr; }
    bool hasRenderer() const { return renderer_ != nullptr; }
    SceneManager& scenes() { return scenes_; }
    Size& logicalSize() { return logicalSize_; }
    Texture& renderTarget() { return renderTarget_; }
    bool usesRenderTarget() const { return useRenderTarget_; }
    void setPictureScaling(PictureScaling scaling) { scaling_ = scaling; }
    PictureScaling pictureScaling() const { return scaling_; }
    // Where the picture goes in an output of this size (in the renderer's pixels); black bars around.
    Rect pictureRect(Size output) const;

    // The last frame drawn into the off-screen target (or, without one, the window), read back.
    Image captureFrame();

    static Keyboard& keyboard() { return instance().input_.keyboard(); }
    static Mouse& mouse() { return instance().input_.mouse(); }

private:
    Core();
    ~Core();
    void drawStep(const Scene* current, const Scene* global);

    Input input_;
    std::unique_ptr<Window> window_;
    std::unique_ptr<Renderer> renderer_;
    SceneManager scenes_;
    Texture renderTarget_;
    bool useRenderTarget_ = false;
    PictureScaling scaling_ = PictureScaling::Smooth;
    // The filtering the target got from the render-scale hint.
    SDL_ScaleMode smoothMode_ = SDL_ScaleModeLinear;
    Size logicalSize_;
    uint32_t fps_ = 60;
    bool audioEnabled_ = true;
};

// Logs the message as an ERROR line, writes it to standard error, shows it with SDL's error text in a
// box titled "Error!", logs SDL's error text as a second ERROR line and exits with status 1. Never
// returns.
[[noreturn]] void fatalError(const std::string& message);
// Called once by fatalError before the box is shown, so that the game can keep what must not be lost.
void setFatalErrorHook(std::function<void()> hook);

// A simple modal information box, parented to the core's window once it exists.
void showMessage(const char* title, const char* text);

// Modal question boxes; the result is the index of the pressed button, -1 if closed without one.
int askInformation(const std::string& title, const std::string& message, const std::vector<std::string>& buttons);
int askWarning(const std::string& title, const std::string& message, const std::vector<std::string>& buttons);
int askError(const std::string& title, const std::string& message, const std::vector<std::string>& buttons);
