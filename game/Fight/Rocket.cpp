#include "Fight/Rocket.h"

#include "Core/Core.h"
#include "Graphics/Renderer.h"

#include <optional>

Rocket::Rocket(const std::string& texturePath, Point position)
    : BaseDrawable(position, Size{0, 0}, std::nullopt)
    , texture_(texturePath)
    , position_(position)
{
    rect().setSize({kWidth, kHeight});
}

void Rocket::setPosition(Point position)
{
    position_ = position;
    rect().setPosition(position);
}

void Rocket::fall()
{
    position_.y += kFallStep;
    setPosition(position_);
}

void Rocket::draw() { Core::instance().renderer().copy(texture_, rect(), clip()); }
