#include "Input/CoordinateMapping.h"

#include "Core/Core.h"
#include "Graphics/Renderer.h"
#include "Input/Window.h"

#include <cstdint>

namespace {

// value / from * to in double precision, truncated toward zero; 0 when there is nothing to scale from.
int32_t rescale(int32_t value, int32_t from, int32_t to)
{
    if (from == 0)
        return 0;
    return static_cast<int32_t>(static_cast<double>(value) / from * to);
}

Point rescale(Point p, Size from, Size to) { return {rescale(p.x, from.w, to.w), rescale(p.y, from.h, to.h)}; }

// value * to / from in whole numbers, rounded down: a point left of or above the letterbox, in the bars,
// stays outside the picture (truncation would bring the bars' innermost pixels in to 0).
int32_t rescaleDown(int32_t value, int32_t from, int32_t to)
{
    if (from <= 0)
        return 0;
    const int64_t scaled = int64_t{value} * to;
    return static_cast<int32_t>(scaled >= 0 ? scaled / from : -((-scaled + from - 1) / from));
}

Point rescaleDown(Point p, Size from, Size to)
{
    return {rescaleDown(p.x, from.w, to.w), rescaleDown(p.y, from.h, to.h)};
}

} // namespace

Point toLogical(Point window, Size logicalSize, Size windowSize)
{
    if (logicalSize == windowSize)
        return window;
    return rescale(window, windowSize, logicalSize);
}

Point toWindow(Point logical, Size logicalSize, Size windowSize)
{
    if (logicalSize == windowSize)
        return logical;
    return rescale(logical, logicalSize, windowSize);
}

namespace {

// The letterbox rectangle the picture fills, in window coordinates. The core lays it out in the
// renderer's pixels, which a high-DPI display makes more than the window's coordinates.
Rect pictureInWindow(Core& core)
{
    const Size window = core.window().size();
    const Size output = core.hasRenderer() ? core.renderer().outputSize() : window;
    const Rect box = core.pictureRect(output);
    const Point corner = toWindow({box.x, box.y}, output, window);
    const Point far = toWindow({box.x + box.w, box.y + box.h}, output, window);
    return {corner.x, corner.y, far.x - corner.x, far.y - corner.y};
}

} // namespace

Point toLogical(Point window)
{
    Core& core = Core::instance();
    if (!core.hasWindow())
        return window;
    // The picture fills only its letterbox rectangle: the bars map outside the logical space.
    const Rect box = pictureInWindow(core);
    return rescaleDown({window.x - box.x, window.y - box.y}, box.size(), core.logicalSize());
}

Point toWindow(Point logical)
{
    Core& core = Core::instance();
    if (!core.hasWindow())
        return logical;
    const Rect box = pictureInWindow(core);
    const Point inBox = rescaleDown(logical, core.logicalSize(), box.size());
    return {inBox.x + box.x, inBox.y + box.y};
}
