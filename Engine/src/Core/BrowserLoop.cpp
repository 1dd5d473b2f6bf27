#include "Core/BrowserLoop.h"

#include "Core/Core.h"
#include "Core/FrameLimiter.h"
#include "Core/FramePacer.h"
#include "Core/FrameTimer.h"
#include "Input/Window.h"

#include <emscripten.h>

#include <cstdlib>
#include <utility>

namespace {

// Unpaced frames stop for the page once this much of an animation frame is used (in nanoseconds), so
// that it still draws, reads its events and stays responsive.
constexpr int64_t kUnpacedBudget = 12'000'000;

struct LoopState {
    BrowserLoop loop;
    FramePacer pacer;
};

// Runs one frame with the hooks around it; false once the input has stopped.
bool runOneFrame(LoopState& state)
{
    Core& core = Core::instance();
    if (state.loop.beforeFrame)
        state.loop.beforeFrame();
    core.runFrame();
    if (state.loop.afterFrame)
        state.loop.afterFrame();
    return core.input().isRunning();
}

void animationFrame(void* argument)
{
    auto& state = *static_cast<LoopState*>(argument);
    bool running = true;
    if (state.loop.unpaced) {
        const int64_t start = now();
        do
            running = runOneFrame(state);
        while (running && now() - start < kUnpacedBudget);
    } else if (state.pacer.frameDue(now())) {
        running = runOneFrame(state);
    }
    if (running)
        return;
    emscripten_cancel_main_loop();
    const int status = state.loop.finish ? state.loop.finish() : 0;
    emscripten_force_exit(status);
}

} // namespace

void runInBrowser(BrowserLoop loop)
{
    Core& core = Core::instance();
    core.window().show();
    // Kept for the life of the page: the animation callback refers to it after this call has gone.
    auto* state = new LoopState{std::move(loop), FramePacer(FrameTimer::framePeriod(core.fps()))};
    // A rate of 0: the browser's requestAnimationFrame calls back at the display's rate.
    emscripten_set_main_loop_arg(animationFrame, state, 0, 1);
    std::abort(); // not reached: the call above leaves through the browser's event loop
}
