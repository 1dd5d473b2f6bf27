#pragma once

#include "Math/Rect.h"
#include "Math/Size.h"

// Where a picture goes in a window so that it keeps its shape: as large as fits, centred, the rest
// left as black bars (at the sides or above and below). Empty when either size is empty.
Rect letterbox(Size picture, Size window);
