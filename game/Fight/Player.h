#pragma once

#include "Audio/Sound.h"
#include "Core/FrameTimer.h"
#include "Fight/Bullet.h"
#include "Fight/Fireball.h"
#include "Fight/Laser.h"
#include "Fight/Rocket.h"
#include "Graphics/Animation.h"
#include "Graphics/BaseDrawable.h"
#include "Graphics/Texture.h"

#include <optional>
#include <string>
#include <vector>

// The character the user steers: runs with inertia, jumps higher the longer the jump key is held,
// shoots in eight directions, blinks while invulnerable after a hit and fades out when its health is
// gone. Positions and speeds are in logical pixels and pixels per frame.
class Player : public BaseDrawable {
public:
    static constexpr int kWidth = 46;
    static constexpr int kHeight = 68;
    static constexpr int kMaxHealth = 50;
    static constexpr int kHitDamage = 10;
    static constexpr size_t kMaxBullets = 20;

    // Animation states.
    static constexpr int kIdle = 0;
    static constexpr int kWalking = 1;
    static constexpr int kJumping = 2;
    // Facing.
    static constexpr int kFacingLeft = 0;
    static constexpr int kFacingRight = 1;

    Player(const std::string& texturePath, Point position);

    void setWalkAnimation(const Animation& animation);
    void setJumpAnimation(const Animation& animation);
    void setBullet(const std::string& texturePath);
    void setShootSound(const std::string& path);
    void setHitSound(const std::string& path);

    void setJumpKey(bool held) { jumpKey_ = held; }
    // For this many frames after the jump key goes down in the air, the player jumps as soon as it
    // stands, as if the key had been pressed then. 0 (the default) remembers nothing.
    void setJumpBuffer(int frames) { jumpBuffer_ = frames; }
    int jumpBuffer() const { return jumpBuffer_; }
    void setLeftKey(bool held) { leftKey_ = held; }
    void setRightKey(bool held) { rightKey_ = held; }
    void setDownKey(bool held) { downKey_ = held; }
    void setUpKey(bool held) { upKey_ = held; }
    void setFireKey(bool held) { fireKey_ = held; }

    // One frame: movement, collisions with the solids, jumps, hazards (removing the rockets, lasers and
    // falling fireballs that strike), shooting, bullets and the fade-out after death.
    void update(std::vector<Rect> solids, std::vector<Rocket>& rockets, const std::optional<Rect>& impactArea,
        std::vector<Laser>& lasers, std::vector<Fireball>& fireballs);
    void draw() override;
    // Back to the starting state, without loading anything.
    void restart();

    int getHealth() const { return health_; }
    bool isFinished() const { return finished_; }
    std::vector<Bullet>& getBullets() { return bullets_; }

    // What a watcher (the simulator's trace, a bot, a test) reads of the player.
    bool isDead() const { return dead_; }
    bool isInvulnerable() const { return invulnerable_; }
    bool isVisible() const { return visible_; }
    bool isOnGround() const { return onGround_; }
    double x() const { return x_; }
    double y() const { return y_; }
    double vx() const { return vx_; }
    double vy() const { return vy_; }
    int animState() const { return animState_; }
    int facing() const { return facing_; }
    float fade() const { return fade_; }
    // The still picture shown when idle (its alpha follows the fade-out).
    const Texture& texture() const { return texture_; }

private:
    // Where restart() puts the player: the spawn point of the arena.
    static constexpr Point kStartPosition{100, 400};

    // The steps of update(), in their order.
    bool applyHorizontalInput();
    void moveHorizontally();
    void collideHorizontally(const std::vector<Rect>& solids);
    void applyJumpInput();
    void moveVertically();
    void collideVertically(const std::vector<Rect>& solids);
    void updateAnimationState(bool moving);
    void takeHazards(std::vector<Rocket>& rockets, const std::optional<Rect>& impactArea, std::vector<Laser>& lasers,
        std::vector<Fireball>& fireballs);
    void updateHurt();
    void shoot();
    void moveBullets();
    void updateDeath();

    void takeHit();
    void restartAnimations();
    void applyFade();
    // The rectangle follows the exact position, truncated toward zero.
    void syncRect();

    bool dead_ = false;
    bool finished_ = false;
    float fade_ = 1.0f;
    FrameTimer deathTimer_;
    int maxHealth_ = kMaxHealth;
    double x_ = 0;
    double y_ = 0;
    double vy_ = 0;
    double vx_ = 0;
    double maxSpeed_ = 4.0;
    double gravity_ = 0.35;
    double acceleration_ = 0.35;
    double jumpStep_ = 1.2;
    double jumpMax_ = 7.2;
    double jumpCut_ = 3.5;
    double jumpSpeed_ = 0;
    bool onGround_ = false;
    bool jumping_ = false;
    bool jumpKey_ = false;
    bool jumpKeyBefore_ = false; // held in the frame before
    int jumpBuffer_ = 0;
    int bufferedJump_ = 0; // frames a press is still remembered
    bool leftKey_ = false;
    bool rightKey_ = false;
    bool upKey_ = false;
    bool downKey_ = false;
    bool fireKey_ = false;
    int health_ = kMaxHealth;
    bool hit_ = false;
    FrameTimer blinkTimer_;
    FrameTimer invulnerabilityTimer_;
    bool visible_ = true;
    FrameTimer shotTimer_;
    bool canShoot_ = true;
    bool invulnerable_ = false;
    Texture texture_;
    std::optional<Animation> walkAnimation_;
    std::optional<Animation> jumpAnimation_;
    int animState_ = kJumping;
    int facing_ = kFacingRight;
    std::optional<Bullet> bulletPrototype_;
    std::optional<Sound> shootSound_;
    std::vector<Bullet> bullets_;
    std::optional<Sound> hitSound_;
};
