#include "Graphics/Texture.h"

#include "Core/Core.h"
#include "Graphics/Image.h"
#include "Graphics/Renderer.h"
#include "Graphics/Surface.h"

#include <SDL_image.h>

#include <cstddef>
#include <cstdint>

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

// True when every pixel of a 32-bit picture with an alpha channel is fully opaque (other formats are
// not looked at and count as possibly transparent).
bool everyPixelOpaque(SDL_Surface* surface)
{
    const SDL_PixelFormat* format = surface->format;
    if (format->Amask == 0 || format->BytesPerPixel != 4 || SDL_MUSTLOCK(surface))
        return false;
    const auto* bytes = static_cast<const uint8_t*>(surface->pixels);
    for (int y = 0; y < surface->h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(bytes + static_cast<ptrdiff_t>(y) * surface->pitch);
        for (int x = 0; x < surface->w; ++x)
            if ((row[x] & format->Amask) != format->Amask)
                return false;
    }
    return true;
}

// The format an opaque picture is best kept in: the core's render target's under the software renderer
// (which may be the window's format without alpha), so that drawing it is a plain copy; ARGB8888 else.
uint32_t opaqueFormat()
{
    Core& core = Core::instance();
    uint32_t format = SDL_PIXELFORMAT_ARGB8888;
    if (core.hasRenderer() && core.usesRenderTarget() && !core.renderTarget().isNull()
        && core.renderer().name() == "software")
        SDL_QueryTexture(core.renderTarget().handle(), &format, nullptr, nullptr, nullptr);
    return format;
}

// An opaque picture with 8-bit channels and alpha (PNG's RGBA among them) in the format it is drawn into,
// so that drawing it is a plain copy rather than a conversion of every pixel every frame: the same
// colours, bit for bit. Pictures with transparent pixels stay as loaded: SDL's software blending from
// the loaded format rounds like the accelerated renderer, its blending between like formats does not.
SDL_Surface* inDrawingFormat(SDL_Surface* surface, bool opaque)
{
    if (surface == nullptr || !opaque)
        return surface;
    const uint32_t format = opaqueFormat();
    if (surface->format->format == format || surface->format->BytesPerPixel != 4 || surface->format->Amask == 0)
        return surface;
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(surface, format, 0);
    if (converted == nullptr)
        return surface;
    SDL_FreeSurface(surface);
    return converted;
}

} // namespace

Texture::Texture(const std::string& path)
    : path_(path)
{
    SDL_Surface* surface = IMG_Load(path.c_str());
    opaque_ = surface != nullptr && everyPixelOpaque(surface);
    surface = inDrawingFormat(surface, opaque_);
    SDL_Texture* texture = surface != nullptr ? SDL_CreateTextureFromSurface(coreRenderer(), surface) : nullptr;
    SDL_FreeSurface(surface);
    if (texture == nullptr)
        fatalError("Texture " + path + " failed load!");
    handle_ = own(texture);
    // Blending a picture without a transparent pixel gives the picture itself, at the cost of reading
    // what lies under it: a full-screen background is then a plain copy.
    if (opaque_)
        SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
}

Texture::Texture(Size size, uint32_t format)
{
    SDL_Texture* texture = SDL_CreateTexture(coreRenderer(), format, SDL_TEXTUREACCESS_TARGET, size.w, size.h);
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

Texture::Texture(const Image& image)
{
    SDL_Texture* texture = SDL_CreateTexture(
        coreRenderer(), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, image.size.w, image.size.h);
    if (texture == nullptr || SDL_UpdateTexture(texture, nullptr, image.pixels.data(), image.size.w * 4) != 0) {
        if (texture != nullptr)
            SDL_DestroyTexture(texture);
        fatalError("Texture from image failed load!");
    }
    handle_ = own(texture);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
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
    if (!handle_)
        return;
    SDL_SetTextureAlphaMod(handle_.get(), alpha);
    // An opaque picture is blended only while it is faded.
    if (opaque_)
        SDL_SetTextureBlendMode(handle_.get(), alpha == kOpaque ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
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
