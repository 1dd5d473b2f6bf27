#pragma once
// The frame loop of a page in a web browser: driven by the page's animation callback instead of the
// desktop's blocking loop. Built only for the browser (Emscripten).

#include <functional>

// How the page runs frames.
struct BrowserLoop {
    // Before each frame (a bot sets its keys here); may be empty.
    std::function<void()> beforeFrame;
    // After each frame; may be empty.
    std::function<void()> afterFrame;
    // Once, after the frame in which the input stopped (the player quit, a replay ended): the exit
    // status of the program.
    std::function<int()> finish;
    // Frames back to back for as long as one animation frame allows, instead of one per frame period:
    // a bot playing as fast as the page can.
    bool unpaced = false;
};

// Shows the core's window and hands the frame loop to the browser's animation callback; never
// returns. Paced, each callback runs Core::runFrame when a FramePacer at the core's rate says a frame
// is due, so the game keeps one update per 1/60 s on any display; the page is never blocked.
[[noreturn]] void runInBrowser(BrowserLoop loop);
