#pragma once

#include <SDL_ttf.h>

#include <memory>
#include <string>

// A TrueType font at one point size, shared like a texture. Failures are fatal:
// "Font <path> failed load!", "Font from const memory failed load!".
class Font {
public:
    Font(const std::string& path, int pointSize);
    // The bytes must outlive the font.
    Font(const void* data, int size, int pointSize);

    TTF_Font* handle() const { return handle_.get(); }

private:
    std::shared_ptr<TTF_Font> handle_;
};
