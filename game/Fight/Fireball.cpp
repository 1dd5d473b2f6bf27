#include "Fight/Fireball.h"

#include "Core/Core.h"
#include "Graphics/Renderer.h"

#include <optional>

Fireball::Fireball(const std::string& texturePath, Point position)
    : BaseDrawable(position, Size{0, 0}, std::nullopt)
    , texture_(texturePath)
    , position_(position)
{
    rect().setSize({kSize, kSize});
}

void Fireball::setExplosion(const std::string& animationPath)
{
    // Explosions play once and stay on their last frame.
    explosionPrototype_.emplace(animationPath, 0);
    explosionPrototype_->setPosition({position_.x, kRowTop});
    explosionPrototype_->reset();
    for (int i = 0; i < kRowLength; ++i)
        explosions_.push_back(*explosionPrototype_);
}

void Fireball::setPosition(Point position)
{
    position_ = position;
    rect().setPosition(position);
}

void Fireball::update()
{
    // It keeps falling while it burns; only its row is seen and tested then.
    position_.y += kFallStep;
    setPosition(position_);
    placeRow();
    if (exploding_)
        advanceRow();
}

bool Fireball::explosionStarting() const
{
    return exploding_ && explosions_.size() > kMiddleLeft && explosions_[kMiddleLeft].isFirstFrame();
}

void Fireball::draw()
{
    if (!exploding_) {
        Core::instance().renderer().copy(texture_, rect(), clip());
        return;
    }
    // Explosions not yet started are invisible; finished ones keep their last frame.
    for (Animation& explosion : explosions_) {
        if (!explosion.isFirstFrame())
            explosion.draw();
    }
}

void Fireball::placeRow()
{
    for (size_t i = 0; i < explosions_.size(); ++i)
        explosions_[i].setPosition({position_.x + kRowOffset + kRowSpacing * static_cast<int>(i), kRowTop});
}

void Fireball::advanceRow()
{
    if (explosions_.size() < static_cast<size_t>(kRowLength)) {
        // Without a row there is nothing to burn.
        done_ = true;
        return;
    }
    // Pairs from the middle outward. The next pair is advanced only once the watched explosion of
    // this pair is on its last frame: the right one of the middle pair, the left one of the others.
    struct Stage {
        size_t left;
        size_t right;
        size_t watched;
    };
    static constexpr Stage kStages[] = {{4, 5, 5}, {3, 6, 3}, {2, 7, 2}, {1, 8, 1}, {0, 9, 0}};
    for (const Stage& stage : kStages) {
        explosions_[stage.left].update();
        explosions_[stage.right].update();
        if (!explosions_[stage.watched].isLastFrame())
            return;
    }
    // Explosion 0 has reached its last frame: the whole row has burnt.
    done_ = true;
}
