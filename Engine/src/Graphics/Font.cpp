#include "Graphics/Font.h"

#include "Core/Core.h"

Font::Font(const std::string& path, int pointSize)
    : handle_(TTF_OpenFont(path.c_str(), pointSize), TTF_CloseFont)
{
    if (handle_ == nullptr)
        fatalError("Font " + path + " failed load!");
}

Font::Font(const void* data, int size, int pointSize)
    // The font library closes the memory stream with the font (free-source flag 1).
    : handle_(TTF_OpenFontRW(SDL_RWFromConstMem(data, size), 1, pointSize), TTF_CloseFont)
{
    if (handle_ == nullptr)
        fatalError("Font from const memory failed load!");
}
