#pragma once

#include "Graphics/Color.h"
#include "Math/Point.h"
#include "Math/Size.h"

#include <SDL_surface.h>

#include <cstdint>
#include <string>

class Font;

// An image in main memory, owned alone (move-only). Pixel operations read and write as many bytes as
// the surface's format has per pixel (1, 2, 3 or 4) and address rows by its pitch; outside the surface
// a read gives the empty colour and a write does nothing. Using a surface that was moved from is
// fatal ("Surface used after it was moved from!").
// Creation failures are fatal, with the messages "Surface <path> failed load!",
// "Surface TTF_RenderUTF8 failed create!" and "Surface SDL_CreateRGBSurface failed create!".
class Surface {
public:
    // Takes ownership of the surface.
    explicit Surface(SDL_Surface* handle);
    // Renders UTF-8 text: mode 1 blended (anti-aliased), any other solid. "" renders as one blank.
    Surface(const Font& font, const std::string& text, Color color, int mode);
    // A fully transparent 32-bit ARGB surface.
    explicit Surface(Size size);
    // Loaded from a file; unless the colour is empty, its pixels of that colour become transparent.
    Surface(const std::string& path, Color transparent);
    ~Surface();
    Surface(Surface&& other) noexcept;
    Surface& operator=(Surface&& other) noexcept;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    SDL_Surface* handle() const { return handle_; }
    Size size() const;

    void setPixel(Color color, Point p);
    Color pixel(Point p) const;
    void setPixelUnlocked(Color color, Point p);
    Color pixelUnlocked(Point p) const;
    void setPixelValue(uint32_t value, Point p);
    void lock();
    void unlock();

    void fill(Color color);
    // Copies the whole source onto this surface at (0, 0).
    void blit(const Surface& source);
    // A separate copy in ARGB8888.
    Surface converted() const;
    // A one-pixel outline around the pixels whose alpha is above the threshold: four neighbours, and
    // with mode 1 also the diagonals. The result is 2 pixels wider and higher, the image at (1, 1).
    // Converts this surface to ARGB8888 in place first when needed.
    Surface outlined(Color outline, uint8_t alphaThreshold, int mode);
    // A dark copy (alpha given) behind the image, on a surface grown by the border on every side.
    Surface withShadow(int border, uint8_t alpha) const;

private:
    // The handle, or a fatal error when there is none.
    SDL_Surface* live() const;

    SDL_Surface* handle_ = nullptr;
};
