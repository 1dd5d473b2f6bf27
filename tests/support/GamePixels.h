#pragma once

#include "Graphics/Color.h"
#include "Graphics/Image.h"
#include "Graphics/Texture.h"
#include "Math/Rect.h"

#include <functional>
#include <vector>

class Surface;

// What the game's objects leave in the off-screen target, read back pixel by pixel.
constexpr Color kBackdrop{192, 192, 192, 255};

// The target cleared to the backdrop, then the given drawing, read back whole.
Image drawnFrame(const std::function<void()>& draw);

// Sum of the red, green and blue differences.
int colorDistance(Color a, Color b);

// How far the area's pixels (outside the skipped rectangles) are from the backdrop, summed.
long inkIn(const Image& image, const Rect& area, const std::vector<Rect>& skip = {});

// Pixels of the block at `at` that differ from the picture, mirrored by the SDL flip bits: opaque
// pixels must show the picture's colour, transparent ones the backdrop.
int pictureMismatches(const Image& frame, Point at, const Surface& picture, int flip);

// Pixels of the area (outside the skipped rectangles) that are not the horizontal mirror image of the
// same area in the other frame, allowing a rounding difference of 6.
int unmirroredPixels(const Image& mirrored, const Image& straight, const Rect& area, const std::vector<Rect>& skip);

// The hit tint of a body's picture, drawn by `draw`, against the same frame with the tint lifted (and
// put back after). Where the body covers the backdrop with coverage a (read from blue, which the tint
// removes entirely), red keeps 128/255 and green 64/255 of what the picture puts there. Returns the
// covered pixels that break that rule; `covered` counts those checked.
int tintMismatches(
    Texture picture, const std::function<void()>& draw, const Rect& area, const std::vector<Rect>& skip, int& covered);
