#include "System/IconImage.h"

#include <memory>

namespace {

constexpr uint16_t kPlanes = 1;
constexpr uint16_t kBitsPerPixel = 32;
constexpr uint32_t kNoCompression = 0; // BI_RGB
constexpr uint32_t kBytesPerPixel = 4;

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using OwnedSurface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

void writeLe16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void writeLe32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void writeHeader(std::vector<uint8_t>& out, uint32_t width, uint32_t height)
{
    writeLe32(out, static_cast<uint32_t>(kIconHeaderSize));
    writeLe32(out, width);
    writeLe32(out, height * 2);
    writeLe16(out, kPlanes);
    writeLe16(out, kBitsPerPixel);
    writeLe32(out, kNoCompression);
    writeLe32(out, width * height * kBytesPerPixel);
    for (int i = 0; i < 4; ++i) // resolution x and y, colours used, colours important
        writeLe32(out, 0);
}

// ARGB8888 lies in memory as B, G, R, A on a little-endian machine: the bitmap's own byte order.
// False if the surface cannot be locked.
bool writeRowsBottomUp(std::vector<uint8_t>& out, SDL_Surface* surface)
{
    const bool mustLock = SDL_MUSTLOCK(surface);
    if (mustLock && SDL_LockSurface(surface) != 0)
        return false;
    const auto* pixels = static_cast<const uint8_t*>(surface->pixels);
    const std::size_t rowBytes = static_cast<std::size_t>(surface->w) * kBytesPerPixel;
    for (int y = surface->h - 1; y >= 0; --y) {
        const uint8_t* row = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(surface->pitch);
        out.insert(out.end(), row, row + rowBytes);
    }
    if (mustLock)
        SDL_UnlockSurface(surface);
    return true;
}

} // namespace

std::vector<uint8_t> iconImage(SDL_Surface* surface)
{
    if (surface == nullptr || surface->w <= 0 || surface->h <= 0)
        return {};
    OwnedSurface converted;
    SDL_Surface* source = surface;
    if (surface->format->format != SDL_PIXELFORMAT_ARGB8888) {
        converted.reset(SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_ARGB8888, 0));
        if (!converted)
            return {};
        source = converted.get();
    }
    const auto width = static_cast<uint32_t>(source->w);
    const auto height = static_cast<uint32_t>(source->h);
    const std::size_t pixelBytes = std::size_t{width} * height * kBytesPerPixel;
    // The header's sizes are 32-bit; no icon comes anywhere near that.
    if (pixelBytes > UINT32_MAX - kIconHeaderSize)
        return {};
    std::vector<uint8_t> image;
    image.reserve(kIconHeaderSize + pixelBytes);
    writeHeader(image, width, height);
    if (!writeRowsBottomUp(image, source))
        return {};
    return image;
}
