#include "Fight/Boss01.h"

#include "Core/Core.h"
#include "Graphics/Renderer.h"
#include "Math/Random.h"

#include <array>
#include <cmath>

namespace {

constexpr Point kStartPosition{400, 30};

// The hit box sits at the leading end of the body, on its bottom edge, so bullets through the top
// strip or the trailing end pass by.
constexpr int32_t kHitboxWidth = 106;
constexpr int32_t kHitboxHeight = 90;

// The patrol turns once the next x passes these (logical pixels): at x = 840 and x = 8 from the start.
constexpr int32_t kRightTurn = 839;
constexpr int32_t kLeftTurn = 10;

// Rockets land once their top edge is below the ground line.
constexpr int32_t kGroundLine = 580;

// Frame timers, in milliseconds.
constexpr int64_t kBlinkMs = 30; // the tint toggles every second update
constexpr int64_t kHitFlashMs = 600; // a flash lasts 37 updates
constexpr int64_t kFirstRocketMs = 400;
constexpr int32_t kRocketMinMs = 300; // later drops come every 19 to 37 updates
constexpr int32_t kRocketMaxMs = 600;
constexpr int64_t kDeathMs = 4000; // the death sequence lasts 241 updates

constexpr uint8_t kFlashR = 128, kFlashG = 64, kFlashB = 0;

constexpr int32_t kHitSoundVolume = 70;
constexpr int32_t kExplosionSoundVolume = 25;

// The death sequence: the fade falls by this much per update (single precision), and each mark
// starts one more explosion with a burst of the explosion sound on the three updates around it.
constexpr float kFadeStep = 0.008f;
constexpr std::array<double, 4> kFadeMarks{0.8, 0.6, 0.4, 0.2};
constexpr double kMarkTolerance = 0.01;
// The body keeps its alpha until the fade has gone this low.
constexpr double kVisibleFade = 0.7;

// The explosions gather 40 pixels toward the facing side of the body's centre.
constexpr int32_t kDeathShift = 40;
constexpr std::array<Point, Boss01::kDeathExplosions> kDeathOffsets{
    Point{0, 0}, Point{-10, -5}, Point{14, 5}, Point{0, -20}, Point{5, 15}};

} // namespace

Boss01::Boss01(Point position)
    : BaseDrawable(position, {kWidth, kHeight}, std::nullopt)
    , blinkTimer_(milliseconds(kBlinkMs))
    , hitTimer_(milliseconds(kHitFlashMs))
    , rocketTimer_(milliseconds(kFirstRocketMs))
    , deathTimer_(milliseconds(kDeathMs))
{
}

void Boss01::setHitSound(const std::string& path)
{
    hitSound_.emplace(path);
    hitSound_->setVolume(kHitSoundVolume);
}

void Boss01::setRocket(const std::string& texturePath) { rocketPrototype_.emplace(texturePath, rect().position()); }

void Boss01::setExplosion(const std::string& animationPath)
{
    impactExplosion_.emplace(animationPath, 0);
    impactHome_ = impactExplosion_->rect().position();
}

void Boss01::setExplosionSound(const std::string& path)
{
    explosionSound_.emplace(path);
    explosionSound_->setVolume(kExplosionSoundVolume);
    appendDeathExplosions();
}

void Boss01::setAnimation(const std::string& animationPath) { animation_.emplace(animationPath, 1); }

void Boss01::update(std::vector<Bullet>& bullets)
{
    if (!dead_) {
        takeHits(bullets);
        updateFlash();
        move();
        dropRocket();
    }
    landRockets();
    impactExplosion_->update();
    if (health_ <= 0)
        dead_ = true;
    if (dead_)
        updateDeath();
}

void Boss01::draw()
{
    if (direction_ == kMovingRight)
        animation_->draw();
    else
        animation_->drawFlipped(SDL_FLIP_HORIZONTAL);
    for (Rocket& rocket : rockets_)
        rocket.draw();
    if (impactShown_ && !impactExplosion_->isLastFrame())
        impactExplosion_->draw();
    if (dead_) {
        for (Animation& explosion : deathExplosions_)
            explosion.draw();
    }
}

void Boss01::restart()
{
    health_ = maxHealth_;
    rect().setPosition(kStartPosition);
    blinkTimer_.reset();
    hitTimer_.reset();
    rocketTimer_.reset();
    deathTimer_.reset();
    hit_ = false;
    flashOn_ = false;
    impactShown_ = false;
    dead_ = false;
    finished_ = false;
    fade_ = 1.0f;
    Texture body = animation_->texture();
    body.setAlpha(1.0f);
    body.setColorMod(255, 255, 255);
    direction_ = kMovingRight;
    rockets_.clear();
    deathExplosions_.clear();
    // Back where it was loaded, as at the start: its unseen first run must not hurt the player where
    // the last rocket of the lost fight landed.
    impactExplosion_->reset();
    impactExplosion_->setPosition(impactHome_);
    appendDeathExplosions();
}

std::optional<Rect> Boss01::impactArea() const
{
    if (!impactExplosion_ || impactExplosion_->isLastFrame())
        return std::nullopt;
    return impactExplosion_->rect();
}

Rect Boss01::hitbox() const
{
    const Rect& body = rect();
    const int32_t x = direction_ == kMovingRight ? body.right() - kHitboxWidth : body.x;
    return {x, body.bottom() - kHitboxHeight, kHitboxWidth, kHitboxHeight};
}

void Boss01::appendDeathExplosions()
{
    for (int i = 0; i < kDeathExplosions; ++i)
        deathExplosions_.push_back(*impactExplosion_);
}

void Boss01::playExplosionSound()
{
    explosionSound_->play();
    ++explosionSoundStarts_;
}

void Boss01::takeHits(std::vector<Bullet>& bullets)
{
    const Rect box = hitbox();
    std::erase_if(bullets, [&](const Bullet& bullet) {
        if (!bullet.rect().intersects(box))
            return false;
        hitSound_->play();
        health_ -= kHitDamage;
        hit_ = true;
        return true;
    });
}

void Boss01::updateFlash()
{
    Texture body = animation_->texture();
    if (!hit_) {
        flashOn_ = false;
        body.setColorMod(255, 255, 255);
        return;
    }
    // The timers run on from wherever they stand, so a flash ends when hitTimer next fires and
    // further hits do not lengthen it.
    if (hitTimer_.tick())
        hit_ = false;
    if (blinkTimer_.tick())
        flashOn_ = !flashOn_;
    if (flashOn_)
        body.setColorMod(kFlashR, kFlashG, kFlashB);
    else
        body.setColorMod(255, 255, 255);
}

void Boss01::move()
{
    const Rect& body = rect();
    const int32_t x = direction_ == kMovingRight ? body.x + speed_ : body.x - speed_;
    if (x > kRightTurn)
        direction_ = kMovingLeft;
    else if (x <= kLeftTurn)
        direction_ = kMovingRight;
    rect().setPosition({x, body.y});
    animation_->setPosition(rect().position());
    animation_->update();
}

void Boss01::dropRocket()
{
    if (!rocketTimer_.tick())
        return;
    rocketTimer_.setDuration(milliseconds(randomInt(kRocketMinMs, kRocketMaxMs)));
    // The leading top corner: just outside the right edge when moving right, inside the left end
    // when moving left.
    const Rect& body = rect();
    rocketPrototype_->setPosition(direction_ == kMovingRight ? Point{body.right(), body.y} : body.position());
    rockets_.push_back(*rocketPrototype_);
}

void Boss01::landRockets()
{
    // Each rocket present now falls exactly once, whether or not one before it lands.
    for (size_t i = 0; i < rockets_.size();) {
        Rocket& rocket = rockets_[i];
        rocket.fall();
        if (rocket.rect().y <= kGroundLine) {
            ++i;
            continue;
        }
        // One impact explosion at a time: a new landing cuts short a running one.
        impactExplosion_->reset();
        impactExplosion_->rect().setCenter(rocket.rect().center());
        rockets_.erase(rockets_.begin() + static_cast<std::ptrdiff_t>(i));
        impactShown_ = true;
        playExplosionSound();
    }
}

void Boss01::updateDeath()
{
    Texture body = animation_->texture();
    body.setColorMod(kFlashR, kFlashG, kFlashB);

    Point c = rect().center();
    c.x += direction_ == kMovingRight ? kDeathShift : -kDeathShift;
    for (size_t i = 0; i < deathExplosions_.size() && i < kDeathOffsets.size(); ++i)
        deathExplosions_[i].rect().setCenter({c.x + kDeathOffsets[i].x, c.y + kDeathOffsets[i].y});
    deathExplosions_[0].update();

    if (fade_ == 1.0f)
        playExplosionSound();
    if (deathTimer_.tick())
        finished_ = true;

    fade_ -= kFadeStep;
    for (double mark : kFadeMarks) {
        if (std::fabs(fade_ - mark) <= kMarkTolerance)
            playExplosionSound();
    }
    // Explosion k (1 to 4) starts once the fade reaches the k-th mark and is then advanced every update.
    for (size_t k = 0; k < kFadeMarks.size(); ++k) {
        if (fade_ <= kFadeMarks[k])
            deathExplosions_[k + 1].update();
    }

    if (fade_ <= 0.0f)
        fade_ = 0.0f;
    if (fade_ <= kVisibleFade)
        body.setAlpha(fade_);
}
