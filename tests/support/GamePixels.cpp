#include "support/GamePixels.h"

#include "Core/Core.h"
#include "Graphics/Renderer.h"
#include "Graphics/Surface.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

bool inAny(const std::vector<Rect>& rects, Point p)
{
    return std::any_of(rects.begin(), rects.end(), [&](const Rect& r) { return r.contains(p); });
}

} // namespace

Image drawnFrame(const std::function<void()>& draw)
{
    Renderer& renderer = Core::instance().renderer();
    renderer.setTarget(Core::instance().renderTarget().handle());
    renderer.clear(kBackdrop);
    draw();
    return renderer.readPixels();
}

int colorDistance(Color a, Color b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }

long inkIn(const Image& image, const Rect& area, const std::vector<Rect>& skip)
{
    long ink = 0;
    for (int y = std::max(area.y, 0); y < std::min(area.bottom(), image.size.h); ++y)
        for (int x = std::max(area.x, 0); x < std::min(area.right(), image.size.w); ++x)
            if (!inAny(skip, {x, y}))
                ink += colorDistance(image.pixel(x, y), kBackdrop);
    return ink;
}

int pictureMismatches(const Image& frame, Point at, const Surface& picture, int flip)
{
    const Size size = picture.size();
    int wrong = 0;
    for (int y = 0; y < size.h; ++y)
        for (int x = 0; x < size.w; ++x) {
            const int sx = (flip & SDL_FLIP_HORIZONTAL) ? size.w - 1 - x : x;
            const int sy = (flip & SDL_FLIP_VERTICAL) ? size.h - 1 - y : y;
            const Color want = picture.pixel({sx, sy});
            const Color got = frame.pixel(at.x + x, at.y + y);
            if (want.a == 255 && (got.r != want.r || got.g != want.g || got.b != want.b))
                ++wrong;
            else if (want.a == 0 && got != kBackdrop)
                ++wrong;
        }
    return wrong;
}

int unmirroredPixels(const Image& mirrored, const Image& straight, const Rect& area, const std::vector<Rect>& skip)
{
    int wrong = 0;
    for (int y = area.y; y < area.bottom(); ++y)
        for (int x = area.x; x < area.right(); ++x)
            if (!inAny(skip, {x, y})
                && colorDistance(mirrored.pixel(x, y), straight.pixel(area.x + area.right() - 1 - x, y)) > 6)
                ++wrong;
    return wrong;
}

int tintMismatches(
    Texture picture, const std::function<void()>& draw, const Rect& area, const std::vector<Rect>& skip, int& covered)
{
    const Image tinted = drawnFrame(draw);
    const Color tint = picture.colorMod();
    picture.setColorMod(255, 255, 255);
    const Image plain = drawnFrame(draw);
    picture.setColorMod(tint.r, tint.g, tint.b);
    int mismatches = 0;
    covered = 0;
    for (int y = area.y; y < area.bottom(); ++y)
        for (int x = area.x; x < area.right(); ++x) {
            const Color f = tinted.pixel(x, y);
            const double a = 1.0 - f.b / 192.0;
            if (a < 0.5 || inAny(skip, {x, y}))
                continue;
            ++covered;
            const Color g = plain.pixel(x, y);
            const double rest = (1.0 - a) * 192.0;
            if (std::abs((g.r - rest) * 128.0 / 255.0 + rest - f.r) > 4.0
                || std::abs((g.g - rest) * 64.0 / 255.0 + rest - f.g) > 4.0)
                ++mismatches;
        }
    return mismatches;
}
