#pragma once

#include "Math/Point.h"
#include "Math/Size.h"

// Between window coordinates and the logical drawing space, scaled in double precision and
// truncated toward zero; identity when the two sizes are equal. A zero-sized side maps to 0.
Point toLogical(Point window, Size logicalSize, Size windowSize);
Point toWindow(Point logical, Size logicalSize, Size windowSize);
// The same with the core's logical size and the letterbox rectangle the picture fills in the window,
// rounded down instead, so that every point of the black bars maps outside the logical space.
Point toLogical(Point window);
Point toWindow(Point logical);
