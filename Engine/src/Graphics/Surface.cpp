#include "Graphics/Surface.h"

#include "Core/Core.h"
#include "Graphics/Font.h"

#include <SDL_image.h>
#include <SDL_ttf.h>

#include <cstring>
#include <string_view>
#include <utility>

namespace {

// The channel masks of the engine's own 32-bit surfaces: the layout of ARGB8888.
constexpr uint32_t kRedMask = 0x00FF0000;
constexpr uint32_t kGreenMask = 0x0000FF00;
constexpr uint32_t kBlueMask = 0x000000FF;
constexpr uint32_t kAlphaMask = 0xFF000000;
constexpr int kDepth = 32;
constexpr int kBlendedMode = 1;

bool contains(const SDL_Surface* surface, Point p)
{
    return p.x >= 0 && p.y >= 0 && p.x < surface->w && p.y < surface->h;
}

// The first byte of the pixel at p: rows are pitch bytes apart, pixels as many bytes as the format has
// (1 for paletted pictures, 3 for RGB ones as PNGs load, 4 for the engine's own).
uint8_t* pixelAddress(SDL_Surface* surface, Point p)
{
    auto* row = static_cast<uint8_t*>(surface->pixels) + static_cast<ptrdiff_t>(p.y) * surface->pitch;
    return row + static_cast<ptrdiff_t>(p.x) * surface->format->BytesPerPixel;
}

uint32_t readPixel(SDL_Surface* surface, Point p)
{
    const uint8_t* bytes = pixelAddress(surface, p);
    switch (surface->format->BytesPerPixel) {
    case 1:
        return bytes[0];
    case 2: {
        uint16_t value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
    case 3:
        if (SDL_BYTEORDER == SDL_BIG_ENDIAN)
            return uint32_t{bytes[0]} << 16 | uint32_t{bytes[1]} << 8 | bytes[2];
        return uint32_t{bytes[2]} << 16 | uint32_t{bytes[1]} << 8 | bytes[0];
    default: {
        uint32_t value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
    }
}

void writePixel(SDL_Surface* surface, Point p, uint32_t value)
{
    uint8_t* bytes = pixelAddress(surface, p);
    switch (surface->format->BytesPerPixel) {
    case 1:
        bytes[0] = static_cast<uint8_t>(value);
        break;
    case 2: {
        const auto narrow = static_cast<uint16_t>(value);
        std::memcpy(bytes, &narrow, sizeof narrow);
        break;
    }
    case 3: {
        const uint8_t high = (value >> 16) & 0xFF, middle = (value >> 8) & 0xFF, low = value & 0xFF;
        bytes[0] = SDL_BYTEORDER == SDL_BIG_ENDIAN ? high : low;
        bytes[1] = middle;
        bytes[2] = SDL_BYTEORDER == SDL_BIG_ENDIAN ? low : high;
        break;
    }
    default:
        std::memcpy(bytes, &value, sizeof value);
        break;
    }
}

// Length in bytes of the longest prefix of text made of whole, well-formed UTF-8 characters.
size_t validUtf8Prefix(std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = 0;
        if (lead < 0x80)
            length = 1;
        else if (lead >= 0xC2 && lead <= 0xDF)
            length = 2;
        else if (lead >= 0xE0 && lead <= 0xEF)
            length = 3;
        else if (lead >= 0xF0 && lead <= 0xF4)
            length = 4;
        else
            return i;
        if (i + length > text.size())
            return i;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return i;
        }
        i += length;
    }
    return i;
}

SDL_Surface* renderText(const Font& font, const std::string& text, Color color, int mode)
{
    const char* shown = text.empty() ? " " : text.c_str();
    if (mode == kBlendedMode)
        return TTF_RenderUTF8_Blended(font.handle(), shown, color.toSDL());
    return TTF_RenderUTF8_Solid(font.handle(), shown, color.toSDL());
}

} // namespace

Surface::Surface(SDL_Surface* handle)
    : handle_(handle)
{
}

Surface::Surface(const Font& font, const std::string& text, Color color, int mode)
{
    handle_ = renderText(font, text, color, mode);
    // A text cut inside a UTF-8 character (a label revealed byte by byte) may be refused by the
    // font library; then the whole characters before the cut are shown.
    if (handle_ == nullptr) {
        const size_t valid = validUtf8Prefix(text);
        if (valid < text.size())
            handle_ = renderText(font, text.substr(0, valid), color, mode);
    }
    if (handle_ == nullptr)
        fatalError("Surface TTF_RenderUTF8 failed create!");
}

Surface::Surface(Size size)
    : handle_(SDL_CreateRGBSurface(0, size.w, size.h, kDepth, kRedMask, kGreenMask, kBlueMask, kAlphaMask))
{
    if (handle_ == nullptr)
        fatalError("Surface SDL_CreateRGBSurface failed create!");
}

Surface::Surface(const std::string& path, Color transparent)
    : handle_(IMG_Load(path.c_str()))
{
    if (handle_ == nullptr)
        fatalError("Surface " + path + " failed load!");
    if (!transparent.isEmpty())
        SDL_SetColorKey(handle_, SDL_TRUE, transparent.map(handle_->format));
}

Surface::~Surface()
{
    if (handle_ != nullptr)
        SDL_FreeSurface(handle_);
}

Surface::Surface(Surface&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr))
{
}

Surface& Surface::operator=(Surface&& other) noexcept
{
    if (this != &other) {
        if (handle_ != nullptr)
            SDL_FreeSurface(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

Size Surface::size() const
{
    if (handle_ == nullptr)
        return {};
    return {handle_->w, handle_->h};
}

SDL_Surface* Surface::live() const
{
    if (handle_ == nullptr)
        fatalError("Surface used after it was moved from!");
    return handle_;
}

void Surface::setPixel(Color color, Point p)
{
    lock();
    setPixelUnlocked(color, p);
    unlock();
}

Color Surface::pixel(Point p) const
{
    SDL_Surface* surface = live();
    if (SDL_MUSTLOCK(surface))
        SDL_LockSurface(surface);
    const Color color = pixelUnlocked(p);
    if (SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
    return color;
}

void Surface::setPixelUnlocked(Color color, Point p) { setPixelValue(color.map(live()->format), p); }

Color Surface::pixelUnlocked(Point p) const
{
    SDL_Surface* surface = live();
    if (!contains(surface, p))
        return {};
    return Color(readPixel(surface, p), surface->format);
}

void Surface::setPixelValue(uint32_t value, Point p)
{
    SDL_Surface* surface = live();
    if (contains(surface, p))
        writePixel(surface, p, value);
}

void Surface::lock()
{
    if (SDL_MUSTLOCK(live()))
        SDL_LockSurface(handle_);
}

void Surface::unlock()
{
    if (SDL_MUSTLOCK(live()))
        SDL_UnlockSurface(handle_);
}

void Surface::fill(Color color) { SDL_FillRect(live(), nullptr, color.map(handle_->format)); }

void Surface::blit(const Surface& source) { SDL_BlitSurface(source.live(), nullptr, live(), nullptr); }

Surface Surface::converted() const
{
    SDL_Surface* copy = SDL_ConvertSurfaceFormat(live(), SDL_PIXELFORMAT_ARGB8888, 0);
    if (copy == nullptr)
        fatalError("Surface SDL_ConvertSurfaceFormat failed create!");
    return Surface(copy);
}

Surface Surface::outlined(Color outline, uint8_t alphaThreshold, int mode)
{
    if (live()->format->format != SDL_PIXELFORMAT_ARGB8888)
        *this = converted();

    const Size size = this->size();
    Surface result(Size(size.w + 2, size.h + 2));
    lock();
    result.lock();
    for (int y = 0; y < size.h; ++y) {
        for (int x = 0; x < size.w; ++x) {
            const Color source = pixelUnlocked({x, y});
            if (source.isTransparent(alphaThreshold))
                continue;
            const uint32_t value = Color(outline.r, outline.g, outline.b, source.a).map(handle_->format);
            // The pixel's own place in the result is (x + 1, y + 1): mark its four direct neighbours.
            result.setPixelValue(value, {x, y + 1});
            result.setPixelValue(value, {x + 2, y + 1});
            result.setPixelValue(value, {x + 1, y});
            result.setPixelValue(value, {x + 1, y + 2});
            if (mode == 1) {
                result.setPixelValue(value, {x, y});
                result.setPixelValue(value, {x + 2, y});
                result.setPixelValue(value, {x, y + 2});
                result.setPixelValue(value, {x + 2, y + 2});
            }
        }
    }
    result.unlock();
    unlock();

    SDL_Rect place{1, 1, size.w, size.h};
    SDL_BlitSurface(handle_, nullptr, result.handle_, &place);
    return result;
}

Surface Surface::withShadow(int border, uint8_t alpha) const
{
    live();
    const Size size = this->size();
    Surface result(Size(size.w + 2 * border, size.h + 2 * border));

    Surface shadow = converted();
    SDL_SetSurfaceColorMod(shadow.handle_, 0, 0, 0);
    SDL_SetSurfaceAlphaMod(shadow.handle_, alpha);
    SDL_BlitSurface(shadow.handle_, nullptr, result.handle_, nullptr);

    SDL_Rect place{border, border, size.w, size.h};
    SDL_BlitSurface(handle_, nullptr, result.handle_, &place);
    return result;
}
