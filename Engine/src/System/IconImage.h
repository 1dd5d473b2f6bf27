#pragma once

#include <SDL_surface.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// The in-memory icon image Windows builds an icon from (CreateIconFromResource): a 40-byte bitmap
// information header followed by the 32-bit BGRA pixel rows, bottom row first. No transparency mask
// follows; the alpha channel carries the transparency.
inline constexpr std::size_t kIconHeaderSize = 40;

// The icon image of a surface of w x h pixels: kIconHeaderSize + w * h * 4 bytes. The header, all
// little-endian, holds the size 40, the width w, the height 2 * h (an icon resource counts its colour
// image and its mask together), 1 plane, 32 bits per pixel, no compression, the image size w * h * 4
// and four zeros. A surface in another format than ARGB8888 is read through a converted copy; the
// caller's surface is left as it was. Empty if the surface is null or cannot be converted.
std::vector<uint8_t> iconImage(SDL_Surface* surface);
