#pragma once

#include "Graphics/Color.h"
#include "Math/Size.h"

#include <cstdint>
#include <string>
#include <vector>

// Pixels read back from a render target: ARGB8888 values, rows top to bottom, tightly packed.
struct Image {
    Size size;
    std::vector<uint32_t> pixels;

    Color pixel(int x, int y) const;
    // Writes the picture as PNG; false if the file cannot be written.
    bool savePng(const std::string& path) const;
};
