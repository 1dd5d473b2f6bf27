#pragma once

#include "Fight/Bullet.h"

#include <cstdint>
#include <memory>

struct World;

// The game as it runs: the engine started headless, the world built, its frame callables set as the
// global scene and the window shown.
std::unique_ptr<World> startGame();

// Brings a world to the busiest moment of the game and keeps it there: the second boss in its second
// stage with lasers and fireballs in play, and the player running to and fro while firing. The bosses
// are hurt by bullets placed in their hit boxes, so no skill is needed to get there.
class BusyScene {
public:
    explicit BusyScene(World& world);

    // Restarts the fight and plays it, update only, until the second boss is in its second stage with
    // at least one laser and one fireball in play. Starts over if the player dies on the way.
    void setUp();
    // Scripts the keys of the next frame (fire held, running left and right by turns); they are read by
    // the next input poll.
    void steer();
    // The second boss in its second stage and alive, the player alive.
    bool isBusy() const;
    // Frames played by setUp() so far, all attempts together.
    long setUpFrames() const { return setUpFrames_; }

private:
    // Bullets are placed so that after their 12-pixel step they sit in the middle of the target.
    void aimBullets(const Rect& target, int count);
    // One frame of the set-up: the scripted keys polled, then the game's update.
    void playFrame();
    bool tryReachSecondStage();

    World& world_;
    Bullet bullet_;
    uint64_t steps_ = 0;
    long setUpFrames_ = 0;
};
