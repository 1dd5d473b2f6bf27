#pragma once

#include "Input/Keyboard.h"
#include "Math/Rect.h"

#include <vector>

struct World;

// A bot that plays the game through the keyboard alone. Every frame it reads the world as a player
// reads the screen (where the hazards are and where they go, where the boss is heading), tries a
// handful of key plans over the next frames against that forecast, and holds the keys of the plan
// that takes the fewest hits and lands the most shots. On the game-over screen it presses Enter.
class Autopilot {
public:
    // The keys to hold in the next frame.
    Keyboard::State decide(World& world);

    // How far ahead the forecast looks, in frames.
    static constexpr int kHorizon = 90;
    // Shots leave every 10 frames while fire is held; those within this many frames are aimed.
    static constexpr int kShotPeriod = 10;
    static constexpr int kShotHorizon = 60;

private:
    // Keys over the coming frames: one horizontal key (or none) first, then another (or none).
    struct Plan {
        int first = 0;         // -1 left, 0 none, +1 right
        int firstFrames = 0;   // frames the first choice is held
        int then = 0;          // held for the rest of the horizon
        int jumpFrames = 0;    // frames the jump key is held from now
    };

    void forecastHazards(World& world);
    double score(const World& world, const Plan& plan) const;

    // Hazard rectangles tested against the player in each coming frame.
    std::vector<std::vector<Rect>> danger_;
    long frame_ = 0;
    int lastHealth_ = -1;
    long hurtFrame_ = -1000;
    long nextShotFrame_ = 1;
    // The powered part of a jump is not visible; the bot keeps it from the keys it pressed.
    bool jumping_ = false;
    double jumpSpeed_ = 0;
};
