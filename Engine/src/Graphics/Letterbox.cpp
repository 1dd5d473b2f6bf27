#include "Graphics/Letterbox.h"

#include <algorithm>
#include <cstdint>

Rect letterbox(Size picture, Size window)
{
    if (picture.w <= 0 || picture.h <= 0 || window.w <= 0 || window.h <= 0)
        return {0, 0, 0, 0};
    // Compared in 64 bits: which side limits the scale, without rounding.
    const bool widthLimits = int64_t{window.w} * picture.h <= int64_t{window.h} * picture.w;
    const int w = widthLimits ? window.w : static_cast<int>(int64_t{window.h} * picture.w / picture.h);
    const int h = widthLimits ? static_cast<int>(int64_t{window.w} * picture.h / picture.w) : window.h;
    return {(window.w - w) / 2, (window.h - h) / 2, w, h};
}

Rect wholeMultipleBox(Size picture, Size window)
{
    if (picture.w <= 0 || picture.h <= 0 || window.w < picture.w || window.h < picture.h)
        return letterbox(picture, window);
    const int scale = std::min(window.w / picture.w, window.h / picture.h);
    const int w = picture.w * scale;
    const int h = picture.h * scale;
    return {(window.w - w) / 2, (window.h - h) / 2, w, h};
}
