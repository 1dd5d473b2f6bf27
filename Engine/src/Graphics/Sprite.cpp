#include "Graphics/Sprite.h"

#include "Core/Core.h"
#include "Graphics/Renderer.h"

Sprite::Sprite(const Texture& texture, Point position, const std::optional<Rect>& clip)
    : BaseDrawable(position, Size(), clip)
    , texture_(texture)
{
    resetSize();
}

void Sprite::draw() { Core::instance().renderer().copy(texture_, rect(), clip()); }

void Sprite::drawEx(double angle, SDL_RendererFlip flip, const std::optional<Point>& center)
{
    Core::instance().renderer().copyEx(texture_, rect(), clip(), angle, flip, center);
}

void Sprite::drawFlipped(SDL_RendererFlip flip) { drawEx(0.0, flip); }

void Sprite::setTexture(const Texture& texture)
{
    texture_ = texture;
    resetSize();
}

void Sprite::resetSize() { rect().setSize(clip() ? clip()->size() : texture_.size()); }
