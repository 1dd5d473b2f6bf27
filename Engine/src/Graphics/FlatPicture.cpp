#include "Graphics/FlatPicture.h"

#include "Core/Core.h"
#include "Graphics/Renderer.h"

namespace {

Rect wholeTarget() { return {{0, 0}, Core::instance().renderer().outputSize()}; }

bool fillsTarget(Sprite& layer)
{
    Texture& texture = layer.texture();
    return layer.rect() == wholeTarget() && !layer.clip() && texture.alpha() == 255
        && texture.colorMod() == Color{255, 255, 255, 255};
}

// What the picture is made of: each layer's texture and the way it is blended onto the ones below.
std::vector<FlatPicture::Layer> layersOf(const std::vector<Sprite*>& layers)
{
    std::vector<FlatPicture::Layer> made;
    for (Sprite* layer : layers) {
        SDL_Texture* texture = layer->texture().handle();
        SDL_BlendMode blendMode = SDL_BLENDMODE_INVALID;
        SDL_GetTextureBlendMode(texture, &blendMode);
        made.push_back({texture, blendMode});
    }
    return made;
}

} // namespace

void FlatPicture::draw(const std::vector<Sprite*>& layers)
{
    if (!canFlatten(layers)) {
        for (Sprite* layer : layers)
            layer->draw();
        return;
    }
    // Made again when its pixels were lost with the render targets, too.
    if (picture_.isNull() || flattened_ != layersOf(layers) || picture_.size() != wholeTarget().size()
        || targetsResets_ != Core::instance().renderer().targetsResets())
        flatten(layers);
    Core::instance().renderer().copy(picture_, wholeTarget());
}

bool FlatPicture::canFlatten(const std::vector<Sprite*>& layers) const
{
    if (layers.empty() || !layers.front()->texture().isOpaque())
        return false;
    for (Sprite* layer : layers)
        if (!fillsTarget(*layer))
            return false;
    return true;
}

void FlatPicture::flatten(const std::vector<Sprite*>& layers)
{
    Renderer& renderer = Core::instance().renderer();
    SDL_Texture* previous = renderer.target();
    // In the format of the frame's target, so that the copy needs no conversion.
    uint32_t format = SDL_PIXELFORMAT_ARGB8888;
    if (previous != nullptr)
        SDL_QueryTexture(previous, &format, nullptr, nullptr, nullptr);
    picture_ = Texture(wholeTarget().size(), format);
    picture_.setBlendMode(SDL_BLENDMODE_NONE);
    renderer.setTarget(picture_.handle());
    for (Sprite* layer : layers)
        layer->draw();
    renderer.setTarget(previous);
    flattened_ = layersOf(layers);
    targetsResets_ = renderer.targetsResets();
}
