#include "Fight/Player.h"

#include "Core/Core.h"
#include "Graphics/Renderer.h"

#include <SDL_render.h>

#include <algorithm>
#include <cmath>

namespace {

// Timer lengths, in milliseconds: 48, 1, 90 and 9 frames at 60 fps.
constexpr int64_t kDeathDurationMs = 800;
constexpr int64_t kBlinkPeriodMs = 25;
constexpr int64_t kInvulnerabilityMs = 1500;
constexpr int64_t kShotDelayMs = 150;

constexpr float kFadeStep = 0.025f; // opacity lost per frame of the fade-out
constexpr int kShootVolume = 50;
constexpr int kHitVolume = 110;
constexpr int32_t kImpactMargin = 9; // pixels of the impact explosion's edge that do not hurt

// The logical screen: a bullet beyond these edges is gone.
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 720;

bool isOffScreen(const Bullet& bullet)
{
    const Point p = bullet.getPosition();
    return p.x < 0 || p.x > kScreenWidth || p.y < 0 || p.y > kScreenHeight;
}

} // namespace

Player::Player(const std::string& texturePath, Point position)
    : BaseDrawable(position, Size{kWidth, kHeight}, std::nullopt)
    , deathTimer_(milliseconds(kDeathDurationMs))
    , x_(position.x)
    , y_(position.y)
    , blinkTimer_(milliseconds(kBlinkPeriodMs))
    , invulnerabilityTimer_(milliseconds(kInvulnerabilityMs))
    , shotTimer_(milliseconds(kShotDelayMs))
    , texture_(texturePath)
{
}

void Player::setWalkAnimation(const Animation& animation)
{
    walkAnimation_ = animation;
    walkAnimation_->rect() = rect();
}

void Player::setJumpAnimation(const Animation& animation)
{
    jumpAnimation_ = animation;
    jumpAnimation_->rect() = rect();
}

void Player::setBullet(const std::string& texturePath)
{
    bulletPrototype_.reset();
    bulletPrototype_.emplace(texturePath, Point{0, 0}, Bullet::kRight);
}

void Player::setShootSound(const std::string& path)
{
    shootSound_.reset();
    shootSound_.emplace(path);
    shootSound_->setVolume(kShootVolume);
}

void Player::setHitSound(const std::string& path)
{
    hitSound_.reset();
    hitSound_.emplace(path);
    hitSound_->setVolume(kHitVolume);
}

void Player::update(std::vector<Rect> solids, std::vector<Rocket>& rockets, const std::optional<Rect>& impactArea,
    std::vector<Laser>& lasers, std::vector<Fireball>& fireballs)
{
    // A dead player is frozen where it fell; only its bullets fly on while it fades out.
    if (!dead_) {
        const bool moving = applyHorizontalInput();
        moveHorizontally();
        collideHorizontally(solids);
        applyJumpInput();
        moveVertically();
        collideVertically(solids);
        updateAnimationState(moving);
        if (!invulnerable_)
            takeHazards(rockets, impactArea, lasers, fireballs);
        updateHurt();
        if (walkAnimation_)
            walkAnimation_->rect() = rect();
        if (jumpAnimation_)
            jumpAnimation_->rect() = rect();
        if (fireKey_)
            shoot();
    }
    moveBullets();
    updateDeath();
}

// Speeds up toward the held direction (left wins over right) or brakes; true while a key is held.
bool Player::applyHorizontalInput()
{
    if (leftKey_) {
        facing_ = kFacingLeft;
        vx_ -= acceleration_;
        return true;
    }
    if (rightKey_) {
        facing_ = kFacingRight;
        vx_ += acceleration_;
        return true;
    }
    if (vx_ > 0)
        vx_ -= acceleration_;
    else if (vx_ < 0)
        vx_ += acceleration_;
    // The last braking step would overshoot: stop exactly.
    if (std::abs(vx_) <= acceleration_)
        vx_ = 0;
    return false;
}

void Player::moveHorizontally()
{
    vx_ = std::clamp(vx_, -maxSpeed_, maxSpeed_);
    x_ += vx_;
    syncRect();
}

// Pushes the player out of a solid it ran into; standing still, an overlap is left alone.
void Player::collideHorizontally(const std::vector<Rect>& solids)
{
    for (const Rect& solid : solids) {
        if (!rect().intersects(solid))
            continue;
        if (vx_ > 0) {
            rect().setRight(solid.left());
            x_ = rect().x;
            vx_ = 0;
        } else if (vx_ < 0) {
            rect().setLeft(solid.right());
            x_ = rect().x;
            vx_ = 0;
        }
    }
}

// A jump starts only from the ground and is powered while the key stays held, up to jumpMax; an early
// release cuts the rise to jumpCut. The cap is noticed one frame after it is reached. A press kept by
// the jump buffer counts as the key held in the frame the player stands.
void Player::applyJumpInput()
{
    const bool pressed = jumpKey_ && !jumpKeyBefore_;
    jumpKeyBefore_ = jumpKey_;
    // Counted from the frame of the press, which itself needs no buffer.
    bufferedJump_ = pressed && jumpBuffer_ > 0 ? jumpBuffer_ + 1 : std::max(bufferedJump_ - 1, 0);
    const bool buffered = onGround_ && bufferedJump_ > 0;
    if (buffered)
        bufferedJump_ = 0;
    if (jumpKey_ || buffered) {
        if (onGround_) {
            jumping_ = true;
            if (animState_ != kJumping) {
                animState_ = kJumping;
                restartAnimations();
            }
        }
        if (jumpSpeed_ < jumpMax_ && jumping_) {
            jumpSpeed_ = std::min(jumpSpeed_ + jumpStep_, jumpMax_);
            vy_ = -jumpSpeed_;
        } else if (jumpSpeed_ >= jumpMax_) {
            jumpSpeed_ = 0;
            jumping_ = false;
        }
    } else if (jumping_) {
        jumping_ = false;
        jumpSpeed_ = 0;
        if (vy_ < 0)
            vy_ = -jumpCut_;
    } else if (jumpSpeed_ >= jumpMax_) {
        jumpSpeed_ = 0;
    }
}

// A frame that starts on the ground adds no gravity; the contact is found again by the collision pass.
void Player::moveVertically()
{
    if (!onGround_)
        vy_ += gravity_;
    y_ += vy_;
    onGround_ = false;
    syncRect();
}

void Player::collideVertically(const std::vector<Rect>& solids)
{
    for (const Rect& solid : solids) {
        if (!rect().intersects(solid))
            continue;
        if (vy_ > 0) {
            rect().setBottom(solid.top());
            y_ = rect().y;
            onGround_ = true;
            jumping_ = false;
            vy_ = 0;
            jumpSpeed_ = 0;
        } else if (vy_ < 0) {
            rect().setTop(solid.bottom());
            y_ = rect().y;
            jumping_ = false;
            vy_ = 0;
            jumpSpeed_ = 0;
        }
    }
}

// Idle and walking switch only on the ground; in the air the state stays as it was.
void Player::updateAnimationState(bool moving)
{
    if (moving && onGround_ && animState_ != kWalking) {
        animState_ = kWalking;
        restartAnimations();
    } else if (!moving && onGround_ && animState_ != kIdle) {
        animState_ = kIdle;
        restartAnimations();
    }
    if (animState_ == kWalking && walkAnimation_)
        walkAnimation_->update();
    else if (animState_ == kJumping && jumpAnimation_)
        jumpAnimation_->update();
}

// Every hazard touching the player costs a hit; rockets, lasers and falling fireballs are used up by it.
// Each list is walked once, and removal skips nothing.
void Player::takeHazards(std::vector<Rocket>& rockets, const std::optional<Rect>& impactArea,
    std::vector<Laser>& lasers, std::vector<Fireball>& fireballs)
{
    const Rect body = rect();
    std::erase_if(rockets, [&](const Rocket& rocket) {
        if (!rocket.rect().intersects(body))
            return false;
        takeHit();
        return true;
    });
    std::erase_if(lasers, [&](const Laser& laser) {
        if (!laser.rect().intersects(body))
            return false;
        takeHit();
        return true;
    });
    std::erase_if(fireballs, [&](const Fireball& fireball) {
        if (!fireball.isExploding()) {
            if (!fireball.rect().intersects(body))
                return false;
            takeHit();
            return true;
        }
        // An explosion burns only between its first and its last frame.
        for (const Animation& explosion : fireball.row()) {
            if (!explosion.isFirstFrame() && !explosion.isLastFrame() && explosion.rect().intersects(body))
                takeHit();
        }
        return false;
    });
    if (impactArea && Rect(*impactArea, -kImpactMargin).intersects(body))
        takeHit();
}

void Player::takeHit()
{
    hit_ = true;
    if (hitSound_)
        hitSound_->play();
    health_ -= kHitDamage;
}

// After a hit: 91 frames of invulnerability, blinking in turns of two frames. The timers run on from
// where the last hurt left them.
void Player::updateHurt()
{
    if (!hit_)
        return;
    invulnerable_ = true;
    if (blinkTimer_.tick())
        visible_ = !visible_;
    if (invulnerabilityTimer_.tick()) {
        hit_ = false;
        visible_ = true;
        invulnerable_ = false;
    }
}

// While the fire key is held: a shot from the centre when the delay has elapsed and fewer than 20
// bullets fly, then the delay counts down again (a shot every 10 frames).
void Player::shoot()
{
    // The world always installs the prototype; without one there is nothing to fire.
    if (canShoot_ && bullets_.size() < kMaxBullets && bulletPrototype_) {
        canShoot_ = false;
        if (shootSound_)
            shootSound_->play();
        const Point centre{static_cast<int32_t>(x_ + rect().w / 2), static_cast<int32_t>(y_ + rect().h / 2)};
        bulletPrototype_->setPosition(centre);
        bulletPrototype_->setHdir(facing_);
        const bool sideways = leftKey_ || rightKey_;
        int vdir = Bullet::kLevel;
        if (upKey_)
            vdir = sideways ? Bullet::kDiagonalUp : Bullet::kStraightUp;
        else if (downKey_)
            vdir = sideways ? Bullet::kDiagonalDown : Bullet::kStraightDown;
        bulletPrototype_->setVdir(vdir);
        bullets_.push_back(*bulletPrototype_);
        fireKey_ = false;
    }
    if (!canShoot_)
        canShoot_ = shotTimer_.tick();
}

void Player::moveBullets()
{
    for (Bullet& bullet : bullets_)
        bullet.move();
    std::erase_if(bullets_, isOffScreen);
}

// Health gone: the fade-out runs for 49 frames, from the frame of the fatal hit.
void Player::updateDeath()
{
    if (health_ <= 0)
        dead_ = true;
    if (!dead_)
        return;
    visible_ = true;
    fade_ -= kFadeStep;
    if (fade_ <= 0)
        fade_ = 0;
    applyFade();
    if (deathTimer_.tick())
        finished_ = true;
}

void Player::draw()
{
    if (visible_) {
        const SDL_RendererFlip mirror = facing_ == kFacingLeft ? SDL_FLIP_HORIZONTAL : SDL_FLIP_NONE;
        if (animState_ == kWalking || animState_ == kJumping) {
            std::optional<Animation>& animation = animState_ == kWalking ? walkAnimation_ : jumpAnimation_;
            if (animation) {
                if (mirror == SDL_FLIP_NONE)
                    animation->draw();
                else
                    animation->drawFlipped(mirror);
            }
        } else if (animState_ == kIdle) {
            Renderer& renderer = Core::instance().renderer();
            if (mirror == SDL_FLIP_NONE)
                renderer.copy(texture_, rect(), clip());
            else
                renderer.copyEx(texture_, rect(), clip(), 0.0, mirror);
        }
    }
    // Bullets are shown even while the character blinks.
    for (Bullet& bullet : bullets_)
        bullet.draw();
}

void Player::restart()
{
    x_ = kStartPosition.x;
    y_ = kStartPosition.y;
    syncRect();
    vx_ = 0;
    vy_ = 0;
    jumpSpeed_ = 0;
    blinkTimer_.reset();
    invulnerabilityTimer_.reset();
    shotTimer_.reset();
    deathTimer_.reset();
    onGround_ = false;
    jumping_ = false;
    jumpKey_ = leftKey_ = rightKey_ = upKey_ = downKey_ = fireKey_ = false;
    jumpKeyBefore_ = false;
    bufferedJump_ = 0;
    hit_ = false;
    invulnerable_ = false;
    health_ = maxHealth_;
    visible_ = true;
    canShoot_ = true;
    bullets_.clear();
    animState_ = kJumping;
    facing_ = kFacingRight;
    dead_ = false;
    finished_ = false;
    fade_ = 1.0f;
    applyFade();
}

void Player::restartAnimations()
{
    if (walkAnimation_)
        walkAnimation_->reset();
    if (jumpAnimation_)
        jumpAnimation_->reset();
}

void Player::applyFade()
{
    if (walkAnimation_)
        walkAnimation_->texture().setAlpha(fade_);
    if (jumpAnimation_)
        jumpAnimation_->texture().setAlpha(fade_);
    texture_.setAlpha(fade_);
}

void Player::syncRect() { rect().setPosition({static_cast<int32_t>(x_), static_cast<int32_t>(y_)}); }
