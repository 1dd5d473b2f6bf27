#pragma once

#include "Input/Keyboard.h"
#include "Math/Rect.h"

#include <cstdint>
#include <vector>

class Player;
struct World;

// A bot that plays the game through the keyboard alone. Every frame it reads the world as a player
// reads the screen (where the hazards are and where they go, where the boss is heading), tries a
// handful of key plans over the next frames against that forecast, and holds the keys of the plan
// that takes the fewest hits and lands the most shots. On the game-over screen it presses Enter.
//
// It can also be told to lose a number of fights before it tries to win, so that a long run goes
// through every part of the game again and again (both bosses, the stage switch, the player's death,
// game over and restart) instead of ending on the victory screen, which nothing leaves: once the
// second boss is low, it stops shooting and walks into the hazards until the game is over.
class Autopilot {
public:
    explicit Autopilot(int fightsToLose = 0)
        : fightsToLose_(fightsToLose)
    {
    }

    // The keys to hold in the next frame.
    Keyboard::State decide(World& world);

    // How far ahead the forecast looks, in frames.
    static constexpr int kHorizon = 90;
    // Shots leave every 10 frames while fire is held; those within this many frames are aimed.
    static constexpr int kShotPeriod = 10;
    static constexpr int kShotHorizon = 60;
    // A fight to be lost is given up when the second boss, in its second stage, is down to this health:
    // low enough that the whole fight has been played, high enough that the bullets still in flight
    // cannot finish it.
    static constexpr int kGiveUpHealth = 200;

    // Fights lost so far (each game over counts, whether given up or not).
    int fightsLost() const { return fightsLost_; }

private:
    // Keys over the coming frames: one horizontal key (or none) first, then another (or none).
    struct Plan {
        int first = 0; // -1 left, 0 none, +1 right
        int firstFrames = 0; // frames the first choice is held
        int then = 0; // held for the rest of the horizon
        int jumpFrames = 0; // frames the jump key is held from now
    };

    // What a plan is expected to bring over the horizon.
    struct Outcome {
        double hurt = 0; // hits taken, the sooner the heavier
        double hits = 0; // shots that meet the boss, the sooner the heavier
        double drift = 0; // distance from a firing spot, in screen widths
    };

    // The smallest box around a frame's hazards, edges in 64 bits: a body clear of it meets none of them.
    struct Bounds {
        int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
        bool mayMeet(const Rect& r) const;
    };
    static Bounds boundsOf(const std::vector<Rect>& rects);

    Plan bestPlan(World& world, bool givingUp);
    Plan roam(const Player& player);
    void forecastHazards(World& world);
    Outcome forecast(const World& world, const Plan& plan) const;
    bool givingUp(const World& world) const;

    // Hazard rectangles tested against the player in each coming frame.
    std::vector<std::vector<Rect>> danger_;
    std::vector<Bounds> dangerBounds_;
    // Worked out once a frame for every plan tried: the floor and walls, and the rectangle bullets meet
    // after each number of the fought boss's updates from now.
    std::vector<Rect> solids_;
    std::vector<Rect> bossTargets_;
    int fightsToLose_ = 0;
    int fightsLost_ = 0;
    bool gameOverSeen_ = false;
    int roamDirection_ = 1;
    long frame_ = 0;
    int lastHealth_ = -1;
    long hurtFrame_ = -1000;
    long nextShotFrame_ = 1;
    // The powered part of a jump is not visible; the bot keeps it from the keys it pressed.
    bool jumping_ = false;
    double jumpSpeed_ = 0;
};
