#pragma once

#include "Math/Rect.h"
#include "Math/Size.h"

// Where a picture goes in a window so that it keeps its shape: as large as fits, centred, the rest
// left as black bars (at the sides or above and below). Empty when either size is empty.
Rect letterbox(Size picture, Size window);
// The same at the largest whole multiple of the picture's size that fits, for pixels of one size; a
// window smaller than the picture gets the letterbox.
Rect wholeMultipleBox(Size picture, Size window);
