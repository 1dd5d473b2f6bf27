#pragma once

#include "Audio/Sound.h"
#include "Core/FrameTimer.h"
#include "Fight/Bullet.h"
#include "Fight/Fireball.h"
#include "Fight/Laser.h"
#include "Graphics/BaseDrawable.h"
#include "Graphics/Texture.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The second and last opponent: zigzags over the upper arena, fires laser pairs and drops fireballs;
// at half health it switches to a bigger, faster second stage, and when its health is gone it fades out.
class Boss02 : public BaseDrawable {
public:
    static constexpr int32_t kMaxHealth = 880;
    static constexpr int32_t kHitDamage = 10;
    static constexpr Size kFirstLook{79, 94};
    static constexpr Size kSecondLook{122, 103};

    Boss02(const std::string& texturePath, Point position);

    void setHitSound(const std::string& path);
    void setSecondStageTexture(const std::string& path);
    void setLaser(const std::string& texturePath);
    void setLaserSound(const std::string& path);
    void setFireball(const std::string& texturePath);
    // Loads the explosion row into the fireball prototype: set the fireball first.
    void setFireballExplosion(const std::string& animationPath);
    void setExplosionSound(const std::string& path);

    // One frame; removes the bullets that strike the body.
    void update(std::vector<Bullet>& bullets);
    void draw() override;
    // Back to the first stage and starting state after a game over, without loading anything.
    void restart();

    int32_t health() const { return health_; }
    std::vector<Laser>& lasers() { return lasers_; }
    std::vector<Fireball>& fireballs() { return fireballs_; }
    bool isFinished() const { return finished_; }

    // What a watcher (the simulator's trace, a bot, a test) reads of the boss.
    bool isDead() const { return dead_; }
    bool isTransforming() const { return transforming_; }
    bool isSecondStage() const { return secondStage_; }
    bool isInvulnerable() const { return invulnerable_; }
    bool isShowingSecondLook() const { return showSecondLook_; }
    bool isFlashOn() const { return flashOn_; }
    int32_t directionX() const { return directionX_; }
    int32_t directionY() const { return directionY_; }
    float fade() const { return fade_; }
    const FrameTimer& laserTimer() const { return laserTimer_; }
    const FrameTimer& fireballTimer() const { return fireballTimer_; }
    // The picture drawn this frame.
    const Texture& currentTexture() const;
    // How many times the laser sound (once per pair) and the explosion sound have been started.
    int laserSoundStarts() const { return laserSoundStarts_; }
    int explosionSoundStarts() const { return explosionSoundStarts_; }

private:
    // Colour and alpha modulation go to both pictures, so the look can change mid-flash or mid-fade.
    void setColorMod(uint8_t r, uint8_t g, uint8_t b);
    void setAlpha(float factor);
    void playExplosionSound();
    void move();
    void takeHits(std::vector<Bullet>& bullets);
    void updateFlash();
    void fireLasers();
    void dropFireball();
    void moveLasers();
    void updateFireballs();
    void transform();
    void updateDeath();

    int32_t maxHealth_ = kMaxHealth;
    int32_t speedX_ = 3;
    int32_t speedY_ = 2;
    int32_t health_ = kMaxHealth;
    FrameTimer blinkTimer_;
    FrameTimer hitTimer_;
    bool hit_ = false;
    bool flashOn_ = false;
    bool dead_ = false;
    bool finished_ = false;
    float fade_ = 1.0f;
    FrameTimer deathTimer_;
    bool transforming_ = false;
    bool secondStage_ = false;
    bool showSecondLook_ = false;
    FrameTimer transformTimer_;
    bool invulnerable_ = false;
    Texture stageOneTexture_;
    std::optional<Texture> secondStageTexture_;
    std::optional<Sound> hitSound_;
    int32_t directionX_ = 1;
    int32_t directionY_ = 1;
    std::optional<Laser> laserPrototype_;
    std::vector<Laser> lasers_;
    FrameTimer laserTimer_;
    std::optional<Sound> laserSound_;
    std::optional<Fireball> fireballPrototype_;
    std::vector<Fireball> fireballs_;
    FrameTimer fireballTimer_;
    std::optional<Sound> explosionSound_;
    int laserSoundStarts_ = 0;
    int explosionSoundStarts_ = 0;
};
