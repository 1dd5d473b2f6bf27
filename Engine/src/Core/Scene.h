#pragma once

#include <functional>

// A pair of per-frame callbacks. One call of update is one frame: no time step is passed.
// Either callback may be empty.
struct Scene {
    std::function<void()> update;
    std::function<void()> draw;

    Scene() = default;
    Scene(std::function<void()> update, std::function<void()> draw)
        : update(std::move(update))
        , draw(std::move(draw))
    {
    }
};
