#pragma once

#include "Graphics/Color.h"
#include "Math/Size.h"

#include <SDL_render.h>

#include <cstdint>
#include <memory>
#include <string>

class Surface;
struct Image;

// A shared handle of an SDL texture: copies share the one texture (and so its alpha, colour
// modulation and blend mode), which is destroyed with the last copy. Load failures are fatal:
// "Texture <path> failed load!", "Texture target failed create!", "Texture from surface failed load!".
class Texture {
public:
    // The empty placeholder: no SDL texture, empty path.
    Texture() = default;
    // A picture file. One without a transparent pixel is copied without blending while its alpha is 255
    // (setAlpha switches blending on below 255 and off again at 255, over any blend mode set before).
    explicit Texture(const std::string& path);
    // A texture that can be a render target, ARGB8888 unless told another format.
    explicit Texture(Size size, uint32_t format = SDL_PIXELFORMAT_ARGB8888);
    // Made from the surface, which stays the caller's.
    explicit Texture(const Surface& surface);
    // Pixels read back, copied without blending. Not a render target: a reset of the targets (Direct3D
    // resets them when the window changes size) leaves it whole. "Texture from image failed load!"
    explicit Texture(const Image& image);

    SDL_Texture* handle() const { return handle_.get(); }
    Size size() const;
    bool isNull() const { return handle_ == nullptr; }
    // SDL textures made by the engine and not yet destroyed, copies counted once.
    static size_t liveCount();
    // A picture file without a transparent pixel.
    bool isOpaque() const { return opaque_; }

    void setAlpha(uint8_t alpha);
    // Factors outside 0..1 change nothing; otherwise alpha = trunc(factor * 255).
    void setAlpha(float factor);
    void resetAlpha();
    uint8_t alpha() const;
    void setColorMod(uint8_t r, uint8_t g, uint8_t b);
    // The colour modulation as (r, g, b, 255).
    Color colorMod() const;
    void setBlendMode(SDL_BlendMode mode);

    const std::string& path() const { return path_; }

private:
    std::shared_ptr<SDL_Texture> handle_;
    std::string path_;
    bool opaque_ = false; // a picture file without a transparent pixel
};
