#include "Fight/Laser.h"

#include "Core/Core.h"
#include "Graphics/Renderer.h"

#include <optional>

Laser::Laser(const std::string& texturePath)
    : BaseDrawable(Rect{}, std::nullopt)
    , texture_(texturePath)
{
    rect().setSize({kSize, kSize});
}

void Laser::setPosition(Point position)
{
    position_ = position;
    rect().setPosition(position);
}

void Laser::move()
{
    switch (direction_) {
    case kUpLeft:
        position_ += Point{-kStep, -kStep};
        break;
    case kDownLeft:
        position_ += Point{-kStep, kStep};
        break;
    case kDownRight:
        position_ += Point{kStep, kStep};
        break;
    default: // up and right, and any unknown direction
        position_ += Point{kStep, -kStep};
        break;
    }
    setPosition(position_);
}

void Laser::draw()
{
    Renderer& renderer = Core::instance().renderer();
    if (direction_ == kDownRight) {
        renderer.copy(texture_, rect(), clip());
        return;
    }
    // The picture points down and to the right: mirror it toward the flight direction.
    SDL_RendererFlip flip = static_cast<SDL_RendererFlip>(SDL_FLIP_HORIZONTAL | SDL_FLIP_VERTICAL);
    if (direction_ == kDownLeft)
        flip = SDL_FLIP_HORIZONTAL;
    else if (direction_ == kUpRight)
        flip = SDL_FLIP_VERTICAL;
    renderer.copyEx(texture_, rect(), clip(), 0.0, flip);
}
