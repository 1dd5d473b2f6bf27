#include "Core/Core.h"

#include "Core/FrameLimiter.h"
#include "Graphics/Letterbox.h"
#include "Graphics/Renderer.h"
#include "Input/Window.h"
#include "System/SystemInfo.h"
#include "Utils/LogFile.h"
#include "Utils/StringUtils.h"

#include <SDL.h>
#include <SDL_messagebox.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <utility>

namespace {

constexpr int kAudioFrequency = 44100; // Hz
constexpr int kAudioChannels = 2; // stereo
constexpr int kAudioChunkSize = 2048; // sample frames per mixer chunk

const Color kTargetClearColor{192, 192, 192, 255};
const Color kWindowClearColor{0, 0, 0, 255};

std::function<void()>& fatalErrorHook()
{
    static std::function<void()> hook;
    return hook;
}

// The software renderer draws straight into the window's memory: a target in the window's own format
// makes the stretch at scale 1 a plain copy. The accelerated renderer keeps ARGB8888.
uint32_t targetFormat(const Renderer& renderer, SDL_Window* window)
{
    const SDL_Surface* surface = renderer.name() == "software" ? SDL_GetWindowSurface(window) : nullptr;
    if (surface == nullptr || surface->format->BytesPerPixel != 4)
        return SDL_PIXELFORMAT_ARGB8888;
    return surface->format->format;
}

// Whether a copy of the target to the whole output covers every pixel the renderer shows.
bool targetCoversOutput(Renderer& renderer)
{
    float scaleX = 0, scaleY = 0;
    SDL_RenderGetScale(renderer.handle(), &scaleX, &scaleY);
    return scaleX == 1.0f && scaleY == 1.0f;
}

// The parent of the engine's boxes: the game window once init has created it.
SDL_Window* messageBoxParent()
{
    Core& core = Core::instance();
    return core.hasWindow() ? core.window().handle() : nullptr;
}

int askQuestion(
    uint32_t kind, const std::string& title, const std::string& message, const std::vector<std::string>& buttons)
{
    // SDL gets the buttons last text first; each keeps its index in the list as its id.
    std::vector<SDL_MessageBoxButtonData> data;
    data.reserve(buttons.size());
    for (size_t i = buttons.size(); i-- > 0;)
        data.push_back({SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, static_cast<int>(i), buttons[i].c_str()});

    const SDL_MessageBoxData box{
        kind, messageBoxParent(), title.c_str(), message.c_str(), static_cast<int>(data.size()), data.data(), nullptr};
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0)
        return -1;
    return pressed;
}

// The video drivers that open no window on any screen. SDL falls back to them when it finds no display;
// a game that runs there runs unseen, so only an explicit request may choose them.
bool isScreenless(const char* driver)
{
    return driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

void requireScreen()
{
    const char* requested = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if ((requested != nullptr && *requested != '\0') || !isScreenless(SDL_GetCurrentVideoDriver()))
        return;
    const char* display = SDL_getenv("DISPLAY");
    const std::string where = display != nullptr && *display != '\0'
        ? std::string(" (DISPLAY=") + display + " cannot be opened)"
        : std::string(" (DISPLAY is not set)");
    fatalError("No display to open the window on" + where
        + "! Start the game on a desktop, or set "
          "SDL_VIDEODRIVER to choose a video driver.");
}

} // namespace

Core& Core::instance()
{
    static Core core;
    return core;
}

Core::Core() = default;

Core::~Core()
{
    // Everything made by the renderer goes before it, the renderer before its window, all before SDL.
    renderTarget_ = Texture();
    scenes_ = SceneManager();
    renderer_.reset();
    window_.reset();
    SDL_Quit();
}

void Core::init(const std::string& title, Size size, bool useRenderTarget)
{
    // A second init replaces the renderer, and SDL destroys every texture of the old one with it: only
    // allowed while no texture but the core's own target is alive.
    const size_t ownTextures = renderTarget_.isNull() ? 0 : 1;
    if (hasRenderer() && Texture::liveCount() > ownTextures)
        fatalError("Core init called again while textures of the first renderer are alive: "
            + std::to_string(Texture::liveCount() - ownTextures) + "!");

    // Without sound the mixer still opens, on SDL's silent driver: every sound and piece of music
    // loads and plays as before, and nothing is heard.
    if (!audioEnabled_)
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) < 0)
        fatalError("SDL_Init Error!");
    requireScreen();
    if (TTF_Init() == -1)
        fatalError("TTF_Init Error!");
    if (Mix_OpenAudio(kAudioFrequency, AUDIO_S16LSB, kAudioChannels, kAudioChunkSize) == -1)
        fatalError("Mix_OpenAudio Error! No sound device could be opened. To play without sound, start with "
                   "--no-audio.");

    renderTarget_ = Texture();
    renderer_.reset();
    window_.reset();
    // On a high-DPI display the window keeps its size in the desktop's units and the renderer draws at
    // the display's own pixels, never a picture that the system stretches into a blur. Windows needs
    // the hint for that (it also makes the process per-monitor DPI aware, as the game's manifest does).
    SDL_SetHint(SDL_HINT_WINDOWS_DPI_SCALING, "1");
    uint32_t flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
#ifdef __EMSCRIPTEN__
    // In a page the window is a canvas that the browser scales to the screen: its pixels stay the size
    // asked for, whatever the display's density.
    flags &= ~SDL_WINDOW_ALLOW_HIGHDPI;
#endif
    window_ = std::make_unique<Window>(title, size, flags);
    renderer_ = std::make_unique<Renderer>(window_->handle(), -1, SDL_RENDERER_ACCELERATED);

    logicalSize_ = size;
    useRenderTarget_ = useRenderTarget;
    if (useRenderTarget_) {
        renderTarget_ = Texture(logicalSize_, targetFormat(*renderer_, window_->handle()));
        // Cleared opaque every frame, so the stretch to the window is a copy, not a blend.
        renderTarget_.setBlendMode(SDL_BLENDMODE_NONE);
        SDL_GetTextureScaleMode(renderTarget_.handle(), &smoothMode_);
    }
}

Rect Core::pictureRect(Size output) const
{
    return scaling_ == PictureScaling::WholeMultiples ? wholeMultipleBox(logicalSize_, output)
                                                      : letterbox(logicalSize_, output);
}

void Core::run()
{
    if (!hasRenderer())
        fatalError("Core run before init!");
    writeSystemInfoReport();
    window_->show();
    while (input_.isRunning()) {
        runFrame();
        limitFrameRate(fps_);
    }
}

void Core::runFrame()
{
    if (!hasRenderer())
        fatalError("Core runFrame before init!");
    input_.pollEvents();

    // Callbacks run from copies, so that one may replace its own slot while it runs.
    const auto updateOf
        = [](const std::optional<Scene>& slot) { return slot ? slot->update : std::function<void()>(); };
    const std::function<void()> currentUpdate = updateOf(scenes_.currentScene());
    const std::function<void()> globalUpdate = updateOf(scenes_.globalScene());
    if (currentUpdate)
        currentUpdate();
    if (globalUpdate)
        globalUpdate();

    // Read after the updates: a scene change made by an update is drawn in the same frame.
    const auto drawOf = [](const std::optional<Scene>& slot) { return Scene({}, slot ? slot->draw : nullptr); };
    const Scene currentDraw = drawOf(scenes_.currentScene());
    const Scene globalDraw = drawOf(scenes_.globalScene());
    drawStep(&currentDraw, &globalDraw);
}

void Core::drawStep(const Scene* current, const Scene* global)
{
    if (useRenderTarget_)
        renderer_->setTarget(renderTarget_.handle());
    renderer_->clear(kTargetClearColor);
    if (current != nullptr && current->draw)
        current->draw();
    if (global != nullptr && global->draw)
        global->draw();

    if (useRenderTarget_) {
        renderer_->setTarget(nullptr);
        // Laid out in the renderer's own pixels: more than the window's size on a high-DPI display, and
        // the window's real size whatever size was last asked of it.
        const Size output = renderer_->outputSize();
        const Rect picture = pictureRect(output);
        // Set every frame: a target made again after a device reset takes it too.
        SDL_SetTextureScaleMode(
            renderTarget_.handle(), scaling_ == PictureScaling::Smooth ? smoothMode_ : SDL_ScaleModeNearest);
        // The target is copied, not blended: where it covers the whole output a clear is overwritten.
        if (picture != Rect{{0, 0}, output} || !targetCoversOutput(*renderer_))
            renderer_->clear(kWindowClearColor);
        // Scaled to fit and centred, its shape kept: black bars fill the rest of the window.
        renderer_->copy(renderTarget_, picture);
    }
    renderer_->present();
}

Window& Core::window()
{
    if (!window_)
        fatalError("Core window used before init!");
    return *window_;
}

Renderer& Core::renderer()
{
    if (!renderer_)
        fatalError("Drawing before Core init!");
    return *renderer_;
}

Image Core::captureFrame()
{
    if (!hasRenderer())
        return {};
    SDL_Texture* previous = renderer_->target();
    renderer_->setTarget(useRenderTarget_ ? renderTarget_.handle() : nullptr);
    Image image = renderer_->readPixels();
    renderer_->setTarget(previous);
    return image;
}

void fatalError(const std::string& whole)
{
    // Taken first: the box below may fail (no display) and replace SDL's error with its own.
    std::string sdlError = SDL_GetError();
    trim(sdlError);
    // A message that quotes a damaged file at length is cut as the log cuts it: the box stays readable.
    const std::string message = cutLongLines(whole, kLongestLogLine);

    writeLogLine(logFile(), message, true);
    // For a player who started the game from a terminal, or a machine where no box can be shown.
    std::cerr << "Error! " << message << '\n';
    if (!sdlError.empty())
        std::cerr << sdlError << '\n';
    std::cerr.flush();

    // Taken out before it runs: a fatal error inside the hook does not run it again.
    if (const std::function<void()> hook = std::exchange(fatalErrorHook(), nullptr))
        hook();
    // The box shows the reason too: a player has no log at hand.
    const std::string boxText = sdlError.empty() ? message : message + "\n\n" + sdlError;
    showMessage("Error!", boxText.c_str());
    writeLogLine(logFile(), sdlError, true);
    std::exit(1);
}

void setFatalErrorHook(std::function<void()> hook) { fatalErrorHook() = std::move(hook); }

void showMessage(const char* title, const char* text)
{
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title, text, messageBoxParent());
}

int askInformation(const std::string& title, const std::string& message, const std::vector<std::string>& buttons)
{
    return askQuestion(SDL_MESSAGEBOX_INFORMATION, title, message, buttons);
}

int askWarning(const std::string& title, const std::string& message, const std::vector<std::string>& buttons)
{
    return askQuestion(SDL_MESSAGEBOX_WARNING, title, message, buttons);
}

int askError(const std::string& title, const std::string& message, const std::vector<std::string>& buttons)
{
    return askQuestion(SDL_MESSAGEBOX_ERROR, title, message, buttons);
}
