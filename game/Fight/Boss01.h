#pragma once

#include "Audio/Sound.h"
#include "Core/FrameTimer.h"
#include "Fight/Bullet.h"
#include "Fight/Rocket.h"
#include "Graphics/Animation.h"
#include "Graphics/BaseDrawable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The first opponent: patrols along the top of the arena, drops rockets at random intervals, flashes
// when hit, and dies in a chain of explosions while it fades out. Timings are in frames.
class Boss01 : public BaseDrawable {
public:
    static constexpr int32_t kMaxHealth = 880;
    static constexpr int32_t kHitDamage = 10;
    static constexpr int32_t kWidth = 170;
    static constexpr int32_t kHeight = 104;
    static constexpr int kDeathExplosions = 5;
    // Directions.
    static constexpr int32_t kMovingLeft = 0;
    static constexpr int32_t kMovingRight = 1;

    explicit Boss01(Point position);

    void setHitSound(const std::string& path);
    void setRocket(const std::string& texturePath);
    void setExplosion(const std::string& animationPath);
    // Also appends five copies of the explosion (as it is now) to the death explosions: set the
    // explosion first.
    void setExplosionSound(const std::string& path);
    void setAnimation(const std::string& animationPath);

    // One frame; removes the bullets that strike the hit box.
    void update(std::vector<Bullet>& bullets);
    void draw() override;
    // Back to the starting state after a game over, without loading anything: timers keep their last
    // durations, five fresh death explosions.
    void restart();

    int32_t health() const { return health_; }
    std::vector<Rocket>& rockets() { return rockets_; }
    bool isFinished() const { return finished_; }
    // The impact explosion's rectangle while it is not on its last frame.
    std::optional<Rect> impactArea() const;

    // What a watcher (the simulator's trace, a bot, a test) reads of the boss.
    bool isDead() const { return dead_; }
    int32_t direction() const { return direction_; }
    // The 106 x 90 hit box at the leading end of the body.
    Rect hitbox() const;
    float fade() const { return fade_; }
    bool isFlashOn() const { return flashOn_; }
    const FrameTimer& rocketTimer() const { return rocketTimer_; }
    const std::vector<Animation>& deathExplosions() const { return deathExplosions_; }
    const std::optional<Animation>& impactExplosion() const { return impactExplosion_; }
    const std::optional<Animation>& animation() const { return animation_; }
    // How many times the explosion sound has been started (landings and the death sequence).
    int explosionSoundStarts() const { return explosionSoundStarts_; }

private:
    void appendDeathExplosions();
    void playExplosionSound();
    void takeHits(std::vector<Bullet>& bullets);
    void updateFlash();
    void move();
    void dropRocket();
    void landRockets();
    void updateDeath();

    int32_t maxHealth_ = kMaxHealth;
    int32_t speed_ = 4;
    int32_t health_ = kMaxHealth;
    FrameTimer blinkTimer_;
    FrameTimer hitTimer_;
    bool hit_ = false;
    bool flashOn_ = false;
    FrameTimer rocketTimer_;
    bool impactShown_ = false;
    bool dead_ = false;
    bool finished_ = false;
    float fade_ = 1.0f;
    FrameTimer deathTimer_;
    int32_t direction_ = kMovingRight;
    std::optional<Sound> hitSound_;
    std::optional<Rocket> rocketPrototype_;
    std::vector<Rocket> rockets_;
    std::optional<Animation> impactExplosion_;
    // Where the impact explosion was loaded; a restart puts it back there.
    Point impactHome_;
    std::vector<Animation> deathExplosions_;
    std::optional<Sound> explosionSound_;
    std::optional<Animation> animation_;
    int explosionSoundStarts_ = 0;
};
