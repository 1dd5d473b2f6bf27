#pragma once

#include "Graphics/Sprite.h"
#include "Graphics/Texture.h"

#include <SDL_render.h>

#include <cstdint>
#include <vector>

// Whole-screen layers that look the same every frame (a background and an overlay on it): blended once
// into a picture of their own, they are then drawn as one copy of the very same pixels. The picture is
// made again when a layer's texture or blend mode changes or the render targets lost their pixels. The
// layers are drawn one by one instead, as every frame, while one of them does not fill the target as
// loaded (moved, clipped, tinted or translucent) or the bottom one has transparent pixels.
class FlatPicture {
public:
    // Bottom layer first.
    void draw(const std::vector<Sprite*>& layers);

    struct Layer {
        SDL_Texture* texture = nullptr;
        SDL_BlendMode blendMode = SDL_BLENDMODE_INVALID;
        bool operator==(const Layer&) const = default;
    };

private:
    bool canFlatten(const std::vector<Sprite*>& layers) const;
    void flatten(const std::vector<Sprite*>& layers);

    Texture picture_;
    std::vector<Layer> flattened_; // what the picture was made of
    uint64_t targetsResets_ = 0; // the renderer's count of target resets when the picture was made
};
