#include "Fight/Boss02.h"

#include "Core/Core.h"
#include "Graphics/Renderer.h"
#include "Math/Random.h"

namespace {

constexpr Point kStartPosition{700, 120};

// The zigzag turns once the next position passes these (logical pixels): between x = 8 and 840
// and between y = 40 and 200 in the first stage.
constexpr int32_t kRightTurn = 839;
constexpr int32_t kLeftTurn = 10;
constexpr int32_t kBottomTurn = 199;
constexpr int32_t kTopTurn = 40;

// Speeds in pixels per update, in the first and the second stage.
constexpr int32_t kFirstSpeedX = 3;
constexpr int32_t kFirstSpeedY = 2;
constexpr int32_t kSecondSpeedX = 6;
constexpr int32_t kSecondSpeedY = 3;

// The switch to the second stage comes at half health.
constexpr int32_t kSecondStageHealth = 440;

// Projectiles bounce or burst once their top edge is below the ground line; lasers leave through the top.
constexpr int32_t kGroundLine = 580;
constexpr int32_t kArenaTop = 0;

// Frame timers, in milliseconds.
constexpr int64_t kBlinkMs = 30; // the tint toggles every second update
constexpr int64_t kHitFlashMs = 600; // a flash lasts 37 updates
constexpr int64_t kDeathMs = 4000; // the death lasts 241 updates
constexpr int64_t kTransformMs = 1500; // the switch lasts 91 updates
constexpr int64_t kFirstLaserMs = 900;
constexpr int32_t kLaserMinMs = 800; // later laser pairs, first stage
constexpr int32_t kLaserMaxMs = 1000;
constexpr int32_t kFastLaserMinMs = 600; // second stage
constexpr int32_t kFastLaserMaxMs = 700;
constexpr int64_t kFirstFireballMs = 3000;
constexpr int64_t kFireballMs = 2000;

constexpr uint8_t kFlashR = 128, kFlashG = 64, kFlashB = 0;

// The death fade falls by this much per update (single precision): transparent after 40 updates.
constexpr float kFadeStep = 0.025f;

constexpr int32_t kHitSoundVolume = 70;
constexpr int32_t kLaserSoundVolume = 60;
constexpr int32_t kExplosionSoundVolume = 25;

} // namespace

Boss02::Boss02(const std::string& texturePath, Point position)
    : BaseDrawable(position, kFirstLook, std::nullopt)
    , blinkTimer_(milliseconds(kBlinkMs))
    , hitTimer_(milliseconds(kHitFlashMs))
    , deathTimer_(milliseconds(kDeathMs))
    , transformTimer_(milliseconds(kTransformMs))
    , stageOneTexture_(texturePath)
    , laserTimer_(milliseconds(kFirstLaserMs))
    , fireballTimer_(milliseconds(kFirstFireballMs))
{
}

void Boss02::setHitSound(const std::string& path)
{
    hitSound_.emplace(path);
    hitSound_->setVolume(kHitSoundVolume);
}

void Boss02::setSecondStageTexture(const std::string& path) { secondStageTexture_.emplace(path); }

void Boss02::setLaser(const std::string& texturePath) { laserPrototype_.emplace(texturePath); }

void Boss02::setLaserSound(const std::string& path)
{
    laserSound_.emplace(path);
    laserSound_->setVolume(kLaserSoundVolume);
}

void Boss02::setFireball(const std::string& texturePath) { fireballPrototype_.emplace(texturePath, rect().center()); }

void Boss02::setFireballExplosion(const std::string& animationPath) { fireballPrototype_->setExplosion(animationPath); }

void Boss02::setExplosionSound(const std::string& path)
{
    explosionSound_.emplace(path);
    explosionSound_->setVolume(kExplosionSoundVolume);
}

void Boss02::update(std::vector<Bullet>& bullets)
{
    if (!dead_ && !transforming_) {
        move();
        if (!invulnerable_) {
            takeHits(bullets);
            updateFlash();
        }
        fireLasers();
        dropFireball();
    }
    moveLasers();
    updateFireballs();
    if (health_ <= kSecondStageHealth && !secondStage_)
        transforming_ = true;
    if (transforming_)
        transform();
    if (health_ <= 0)
        dead_ = true;
    if (dead_)
        updateDeath();
}

void Boss02::draw()
{
    Renderer& renderer = Core::instance().renderer();
    if (directionX_ == 1)
        renderer.copy(currentTexture(), rect());
    else
        renderer.copyEx(currentTexture(), rect(), std::nullopt, 0.0, SDL_FLIP_HORIZONTAL);
    for (Laser& laser : lasers_)
        laser.draw();
    for (Fireball& fireball : fireballs_)
        fireball.draw();
}

void Boss02::restart()
{
    speedX_ = kFirstSpeedX;
    speedY_ = kFirstSpeedY;
    health_ = maxHealth_;
    rect().setPosition(kStartPosition);
    rect().setSize(kFirstLook);
    hit_ = false;
    flashOn_ = false;
    dead_ = false;
    finished_ = false;
    fade_ = 1.0f;
    setAlpha(1.0f);
    setColorMod(255, 255, 255);
    // Counts only: the laser and fireball timers keep the durations they last had.
    deathTimer_.reset();
    blinkTimer_.reset();
    hitTimer_.reset();
    transformTimer_.reset();
    laserTimer_.reset();
    fireballTimer_.reset();
    transforming_ = false;
    secondStage_ = false;
    showSecondLook_ = false;
    invulnerable_ = false;
    directionX_ = 1;
    directionY_ = 1;
    lasers_.clear();
    fireballs_.clear();
}

const Texture& Boss02::currentTexture() const
{
    const bool second = transforming_ ? showSecondLook_ : secondStage_;
    if (second && secondStageTexture_)
        return *secondStageTexture_;
    return stageOneTexture_;
}

void Boss02::setColorMod(uint8_t r, uint8_t g, uint8_t b)
{
    stageOneTexture_.setColorMod(r, g, b);
    if (secondStageTexture_)
        secondStageTexture_->setColorMod(r, g, b);
}

void Boss02::setAlpha(float factor)
{
    stageOneTexture_.setAlpha(factor);
    if (secondStageTexture_)
        secondStageTexture_->setAlpha(factor);
}

void Boss02::playExplosionSound()
{
    explosionSound_->play();
    ++explosionSoundStarts_;
}

void Boss02::move()
{
    const Rect& body = rect();
    const int32_t x = directionX_ == 1 ? body.x + speedX_ : body.x - speedX_;
    const int32_t y = directionY_ == 1 ? body.y + speedY_ : body.y - speedY_;
    if (x > kRightTurn)
        directionX_ = 0;
    else if (x <= kLeftTurn)
        directionX_ = 1;
    if (y > kBottomTurn)
        directionY_ = 0;
    else if (y <= kTopTurn)
        directionY_ = 1;
    rect().setPosition({x, y});
}

void Boss02::takeHits(std::vector<Bullet>& bullets)
{
    const Rect body = rect();
    std::erase_if(bullets, [&](const Bullet& bullet) {
        if (!bullet.rect().intersects(body))
            return false;
        health_ -= kHitDamage;
        hitSound_->play();
        hit_ = true;
        return true;
    });
}

void Boss02::updateFlash()
{
    if (!hit_) {
        flashOn_ = false;
        setColorMod(255, 255, 255);
        return;
    }
    // As for the first boss: the timers run on, so a flash ends when hitTimer next fires.
    if (hitTimer_.tick())
        hit_ = false;
    if (blinkTimer_.tick())
        flashOn_ = !flashOn_;
    if (flashOn_)
        setColorMod(kFlashR, kFlashG, kFlashB);
    else
        setColorMod(255, 255, 255);
}

void Boss02::fireLasers()
{
    if (!laserTimer_.tick())
        return;
    const int32_t ms = secondStage_ ? randomInt(kFastLaserMinMs, kFastLaserMaxMs) : randomInt(kLaserMinMs, kLaserMaxMs);
    laserTimer_.setDuration(milliseconds(ms));
    laserPrototype_->setPosition(rect().center());
    laserPrototype_->setDirection(Laser::kDownLeft);
    lasers_.push_back(*laserPrototype_);
    laserPrototype_->setDirection(Laser::kDownRight);
    lasers_.push_back(*laserPrototype_);
    laserSound_->play();
    ++laserSoundStarts_;
}

void Boss02::dropFireball()
{
    if (!fireballTimer_.tick())
        return;
    fireballTimer_.setDuration(milliseconds(kFireballMs));
    fireballPrototype_->setPosition(rect().center());
    fireballs_.push_back(*fireballPrototype_);
}

void Boss02::moveLasers()
{
    // Each laser present now moves exactly once; removal does not skip the next one.
    for (size_t i = 0; i < lasers_.size();) {
        Laser& laser = lasers_[i];
        laser.move();
        // The one bounce: a bolt already going up is not turned again.
        if (laser.rect().y > kGroundLine) {
            if (laser.direction() == Laser::kDownLeft)
                laser.setDirection(Laser::kUpLeft);
            else if (laser.direction() == Laser::kDownRight)
                laser.setDirection(Laser::kUpRight);
        }
        if (laser.rect().y < kArenaTop)
            lasers_.erase(lasers_.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
}

void Boss02::updateFireballs()
{
    for (size_t i = 0; i < fireballs_.size();) {
        Fireball& fireball = fireballs_[i];
        fireball.update();
        if (fireball.rect().y > kGroundLine) {
            fireball.explode();
            // Started again on every update while the middle explosion is on its first frame.
            if (fireball.explosionStarting())
                playExplosionSound();
        }
        if (fireball.isDone())
            fireballs_.erase(fireballs_.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
}

void Boss02::transform()
{
    // Immune and untinted while switching: a running flash is cut short.
    blinkTimer_.reset();
    hitTimer_.reset();
    flashOn_ = false;
    hit_ = false;
    setColorMod(255, 255, 255);
    invulnerable_ = true;

    // The look alternates every update, starting with the second stage's.
    showSecondLook_ = !showSecondLook_;
    rect().setSize(showSecondLook_ ? kSecondLook : kFirstLook);

    if (transformTimer_.tick()) {
        secondStage_ = true;
        transforming_ = false;
        invulnerable_ = false;
        showSecondLook_ = true;
        rect().setSize(kSecondLook);
        speedX_ = kSecondSpeedX;
        speedY_ = kSecondSpeedY;
    }
}

void Boss02::updateDeath()
{
    // The colour modulation is left as it was: a boss killed mid-flash keeps its tint.
    fade_ -= kFadeStep;
    if (!(fade_ > 0.0f))
        fade_ = 0.0f;
    setAlpha(fade_);
    if (deathTimer_.tick())
        finished_ = true;
}
