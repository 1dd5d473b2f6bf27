#pragma once

#include "Graphics/BaseDrawable.h"
#include "Graphics/Texture.h"

#include <SDL_render.h>

#include <optional>

// One texture, or the clipped part of it, drawn into the rectangle. Its size is the clip's, or the
// texture's when there is no clip.
class Sprite : public BaseDrawable {
public:
    Sprite(const Texture& texture, Point position, const std::optional<Rect>& clip = std::nullopt);

    void draw() override;
    void drawEx(double angle, SDL_RendererFlip flip, const std::optional<Point>& center = std::nullopt);
    void drawFlipped(SDL_RendererFlip flip);
    // Keeps the position; resizes to the new texture (or the clip).
    void setTexture(const Texture& texture);
    void resetSize();
    Texture& texture() { return texture_; }

private:
    Texture texture_;
};
