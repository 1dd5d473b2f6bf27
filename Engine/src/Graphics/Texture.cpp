#include "Graphics/Texture.h"

#include "Core/Core.h"
#include "Graphics/Renderer.h"
#include "Graphics/Surface.h"

#include <SDL_image.h>

namespace {

constexpr uint8_t kOpaque = 255;

// The core's renderer, or null before init (SDL then refuses the texture and the load is fatal).
SDL_Renderer* coreRenderer()
{
    Core& core = Core::instance();
    return core.hasRenderer() ? core.renderer().handle() : nullptr;
}

// SDL textures alive, counted so that the core can refuse to replace the renderer under them.
size_t liveTextures = 0;

std::shared_ptr<SDL_Texture> own(SDL_Texture* texture)
{
    ++liveTextures;
    return {texture, [](SDL_Texture* owned) {
                --liveTextures;
                SDL_DestroyTexture(owned);
            }};
}

} // namespace

Texture::Texture(const std::string& path)
    : path_(path)
{
    SDL_Texture* texture = IMG_LoadTexture(coreRenderer(), path.c_str());
    if (texture == nullptr)
        fatalError("Texture " + path + " failed load!");
    handle_ = own(texture);
}

Texture::Texture(Size size)
{
    SDL_Texture* texture
        = SDL_CreateTexture(coreRenderer(), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, size.w, size.h);
    if (texture == nullptr)
        fatalError("Texture target failed create!");
    handle_ = own(texture);
}

Texture::Texture(const Surface& surface)
{
    SDL_Texture* texture = SDL_CreateTextureFromSurface(coreRenderer(), surface.handle());
    if (texture == nullptr)
        fatalError("Texture from surface failed load!");
    handle_ = own(texture);
}

size_t Texture::liveCount() { return liveTextures; }

Size Texture::size() const
{
    Size size;
    if (handle_)
        SDL_QueryTexture(handle_.get(), nullptr, nullptr, &size.w, &size.h);
    return size;
}

void Texture::setAlpha(uint8_t alpha)
{
    if (handle_)
        SDL_SetTextureAlphaMod(handle_.get(), alpha);
}

void Texture::setAlpha(float factor)
{
    // Written so that NaN is refused too.
    if (!(factor >= 0.0f && factor <= 1.0f))
        return;
    setAlpha(static_cast<uint8_t>(factor * kOpaque));
}

void Texture::resetAlpha() { setAlpha(kOpaque); }

uint8_t Texture::alpha() const
{
    uint8_t alpha = kOpaque;
    if (handle_)
        SDL_GetTextureAlphaMod(handle_.get(), &alpha);
    return alpha;
}

void Texture::setColorMod(uint8_t r, uint8_t g, uint8_t b)
{
    if (handle_)
        SDL_SetTextureColorMod(handle_.get(), r, g, b);
}

Color Texture::colorMod() const
{
    Color color{kOpaque, kOpaque, kOpaque, kOpaque};
    if (handle_)
        SDL_GetTextureColorMod(handle_.get(), &color.r, &color.g, &color.b);
    return color;
}

void Texture::setBlendMode(SDL_BlendMode mode)
{
    if (handle_)
        SDL_SetTextureBlendMode(handle_.get(), mode);
}
