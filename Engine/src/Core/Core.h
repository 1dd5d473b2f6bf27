#pragma once
// Core: start-up, the frame loop, scenes, fatal errors and the frame limiter. Owns the window, the
// renderer, the off-screen target and the input state. Depends on Input, Graphics, Math and Utils.

#include "Core/SceneManager.h"
#include "Graphics/Image.h"
#include "Graphics/Texture.h"
#include "Input/Input.h"
#include "Math/Size.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Window;
class Renderer;

class Core {
public:
    static Core& instance();
    Core(const Core&) = delete;
    Core& operator=(const Core&) = delete;

    // Starts SDL video and audio, the font library and the mixer (44 100 Hz, S16LSB, stereo, 2048),
    // creates the hidden centred OpenGL window, the accelerated renderer and, in render-target mode,
    // an ARGB8888 target of the given size (in the window's own format under the software renderer,
    // see chooseHeadlessRendering). Any failure is fatal.
    void init(const std::string& title, Size size, bool useRenderTarget);

    // Writes the start-up report, shows the window and runs frames at fps() until a quit event.
    void run();
    // One frame without the limiter: poll, updates, draw step, present. Tests and tools use it to run
    // frames as fast as the machine allows.
    void runFrame();

    uint32_t fps() const { return fps_; }
    void setFps(uint32_t fps) { fps_ = fps; }

    Input& input() { return input_; }
    Window& window() { return *window_; }
    Renderer& renderer() { return *renderer_; }
    bool hasWindow() const { return window_ != nullptr; }
    bool hasRenderer() const { return renderer_ != nullptr; }
    SceneManager& scenes() { return scenes_; }
    Size& logicalSize() { return logicalSize_; }
    Texture& renderTarget() { return renderTarget_; }
    bool usesRenderTarget() const { return useRenderTarget_; }

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
    Size logicalSize_;
    uint32_t fps_ = 60;
};

// Logs the message as an ERROR line, writes it to standard error, shows it in a box titled "Error!",
// logs SDL's error text as a second ERROR line and exits with status 1. Never returns.
[[noreturn]] void fatalError(const std::string& message);

// A simple modal information box, parented to the core's window once it exists.
void showMessage(const char* title, const char* text);

// Modal question boxes; the result is the index of the pressed button, -1 if closed without one.
int askInformation(const std::string& title, const std::string& message, const std::vector<std::string>& buttons);
int askWarning(const std::string& title, const std::string& message, const std::vector<std::string>& buttons);
int askError(const std::string& title, const std::string& message, const std::vector<std::string>& buttons);
