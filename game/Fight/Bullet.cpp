#include "Fight/Bullet.h"

#include "Core/Core.h"
#include "Graphics/Renderer.h"

#include <optional>

Bullet::Bullet(const std::string& texturePath, Point position, int hdir)
    : BaseDrawable(position, Size{0, 0}, std::nullopt)
    , x_(position.x)
    , y_(position.y)
    , texture_(texturePath)
    , hdir_(hdir)
{
    rect().setSize({kSize, kSize});
}

void Bullet::setPosition(Point position)
{
    x_ = position.x;
    y_ = position.y;
    rect().setPosition(position);
}

void Bullet::move()
{
    // Straight up and down ignore the horizontal direction.
    if (vdir_ != kStraightUp && vdir_ != kStraightDown) {
        if (hdir_ == kLeft)
            x_ -= kStep;
        else if (hdir_ == kRight)
            x_ += kStep;
    }
    if (vdir_ == kDiagonalUp || vdir_ == kStraightUp)
        y_ -= kStep;
    else if (vdir_ == kDiagonalDown || vdir_ == kStraightDown)
        y_ += kStep;
    setPosition({x_, y_});
}

void Bullet::draw() { Core::instance().renderer().copy(texture_, rect(), clip()); }
