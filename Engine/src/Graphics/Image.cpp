#include "Graphics/Image.h"

#include <SDL_image.h>

Color Image::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= size.w || y >= size.h)
        return {};
    const uint32_t value = pixels[static_cast<size_t>(y) * static_cast<size_t>(size.w) + static_cast<size_t>(x)];
    return {static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value),
        static_cast<uint8_t>(value >> 24)};
}

bool Image::savePng(const std::string& path) const
{
    if (size.w <= 0 || size.h <= 0 || pixels.size() < static_cast<size_t>(size.w) * static_cast<size_t>(size.h))
        return false;
    // SDL only reads the pixels while saving; the surface borrows them.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(pixels.data()), size.w, size.h, 32, size.w * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr)
        return false;
    const bool saved = IMG_SavePNG(surface, path.c_str()) == 0;
    SDL_FreeSurface(surface);
    return saved;
}
