#include "Graphics/Renderer.h"

#include "Core/Core.h"
#include "Utils/LogFile.h"

#include <SDL_video.h>

#include <cstddef>
#include <utility>

namespace {

// OpenGL's GL_POLYGON primitive for glBegin.
constexpr unsigned int kGlPolygon = 9;

using GlBegin = void (*)(unsigned int mode);
using GlEnd = void (*)();
using GlVertex2i = void (*)(int x, int y);

const SDL_Point* sdlPoints(const std::vector<Point>& points) { return points.front().sdl(); }

const SDL_Rect* sdlRects(const std::vector<Rect>& rects) { return rects.front().sdl(); }

int count(size_t size) { return static_cast<int>(size); }

} // namespace

Renderer::Renderer(SDL_Window* window, int driverIndex, uint32_t flags)
{
    handle_ = SDL_CreateRenderer(window, driverIndex, flags);
    if (handle_ == nullptr)
        fatalError("Renderer failed create!");
    SDL_SetRenderDrawBlendMode(handle_, SDL_BLENDMODE_BLEND);
}

Renderer::~Renderer()
{
    if (handle_ != nullptr)
        SDL_DestroyRenderer(handle_);
}

void Renderer::clear(Color color)
{
    setDrawColor(color);
    // Held back until something is drawn: a picture that hides the whole target makes it needless.
    pendingClear_ = color;
}

SDL_Renderer* Renderer::handle() const
{
    // Whoever takes the handle may draw with it: the target must be cleared first.
    doPendingClear();
    return handle_;
}

void Renderer::doPendingClear() const
{
    if (!pendingClear_)
        return;
    const Color clearColor = *std::exchange(pendingClear_, std::nullopt);
    Color drawColor;
    SDL_GetRenderDrawColor(handle_, &drawColor.r, &drawColor.g, &drawColor.b, &drawColor.a);
    SDL_SetRenderDrawColor(handle_, clearColor.r, clearColor.g, clearColor.b, clearColor.a);
    check(SDL_RenderClear(handle_), "SDL_RenderClear");
    SDL_SetRenderDrawColor(handle_, drawColor.r, drawColor.g, drawColor.b, drawColor.a);
}

bool Renderer::hidesWholeTarget(
    const Texture& texture, const Rect& destination, const std::optional<Rect>& source) const
{
    // An opaque picture replaces every pixel under it when copied or blended at full alpha...
    SDL_BlendMode blendMode = SDL_BLENDMODE_INVALID;
    uint8_t alpha = 0;
    SDL_GetTextureBlendMode(texture.handle(), &blendMode);
    SDL_GetTextureAlphaMod(texture.handle(), &alpha);
    if (!texture.isOpaque() || alpha != 255 || (blendMode != SDL_BLENDMODE_NONE && blendMode != SDL_BLENDMODE_BLEND))
        return false;
    // ...whole, when the source lies inside it (SDL shrinks the destination of a source it has to cut)...
    const Size textureSize = texture.size();
    if (source
        && (source->x < 0 || source->y < 0 || source->w <= 0 || source->h <= 0 || source->x + source->w > textureSize.w
            || source->y + source->h > textureSize.h))
        return false;
    // ...and the destination covers every pixel of the target with nothing clipped in between. SDL takes
    // the viewport and the destination in scaled units and places both at their scaled size in pixels.
    if (SDL_RenderIsClipEnabled(handle_) == SDL_TRUE)
        return false;
    float scaleX = 1;
    float scaleY = 1;
    SDL_RenderGetScale(handle_, &scaleX, &scaleY);
    SDL_Rect viewport{};
    SDL_RenderGetViewport(handle_, &viewport);
    const Size target = outputSize();
    const auto covers
        = [](double from, double to, double scale, int pixels) { return from * scale <= 0 && to * scale >= pixels; };
    const double left = static_cast<double>(viewport.x) + destination.x;
    const double top = static_cast<double>(viewport.y) + destination.y;
    return covers(viewport.x, static_cast<double>(viewport.x) + viewport.w, scaleX, target.w)
        && covers(viewport.y, static_cast<double>(viewport.y) + viewport.h, scaleY, target.h)
        && covers(left, left + destination.w, scaleX, target.w) && covers(top, top + destination.h, scaleY, target.h);
}

void Renderer::present()
{
    doPendingClear();
    // SDL 2 returns nothing from a present: a device that fails there fails the next frame's drawing.
    SDL_RenderPresent(handle_);
}

void Renderer::check(int result, const char* call) const
{
    // Logged once per call: a device in trouble fails every frame, and the log must not fill at 60
    // lines a second. A later failure of the same call is as visible on screen as the first.
    if (result >= 0 || !failedCalls_.insert(call).second)
        return;
    writeLogLine(logFile(), std::string(call) + " failed: " + SDL_GetError(), true);
}

void Renderer::noteTargetsReset() { ++targetsResets_; }

void Renderer::setTarget(SDL_Texture* target)
{
    doPendingClear();
    check(SDL_SetRenderTarget(handle_, target), "SDL_SetRenderTarget");
}

SDL_Texture* Renderer::target() const { return SDL_GetRenderTarget(handle_); }

void Renderer::setDrawColor(Color color) { SDL_SetRenderDrawColor(handle_, color.r, color.g, color.b, color.a); }

void Renderer::setBlendMode(SDL_BlendMode mode) { SDL_SetRenderDrawBlendMode(handle_, mode); }

void Renderer::setScale(float sx, float sy) { SDL_RenderSetScale(handle_, sx, sy); }

Size Renderer::outputSize() const
{
    Size size;
    SDL_GetRendererOutputSize(handle_, &size.w, &size.h);
    return size;
}

std::string Renderer::name() const
{
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(handle_, &info) != 0 || info.name == nullptr)
        return {};
    return info.name;
}

void Renderer::copy(const Texture& texture, const Rect& destination, const std::optional<Rect>& source)
{
    if (pendingClear_ && hidesWholeTarget(texture, destination, source))
        pendingClear_.reset();
    doPendingClear();
    check(SDL_RenderCopy(handle_, texture.handle(), source ? source->sdl() : nullptr, destination.sdl()),
        "SDL_RenderCopy");
}

void Renderer::copyEx(const Texture& texture, const Rect& destination, const std::optional<Rect>& source, double angle,
    SDL_RendererFlip flip, const std::optional<Point>& center)
{
    doPendingClear();
    check(SDL_RenderCopyEx(handle_, texture.handle(), source ? source->sdl() : nullptr, destination.sdl(), angle,
              center ? center->sdl() : nullptr, flip),
        "SDL_RenderCopyEx");
}

void Renderer::drawPoint(Point p, Color color)
{
    doPendingClear();
    setDrawColor(color);
    check(SDL_RenderDrawPoint(handle_, p.x, p.y), "SDL_RenderDrawPoint");
}

void Renderer::drawLine(Point a, Point b, Color color)
{
    doPendingClear();
    setDrawColor(color);
    check(SDL_RenderDrawLine(handle_, a.x, a.y, b.x, b.y), "SDL_RenderDrawLine");
}

void Renderer::drawRect(const Rect& rect, Color color)
{
    doPendingClear();
    setDrawColor(color);
    check(SDL_RenderDrawRect(handle_, rect.sdl()), "SDL_RenderDrawRect");
}

void Renderer::fillRect(const Rect& rect, Color color)
{
    doPendingClear();
    setDrawColor(color);
    check(SDL_RenderFillRect(handle_, rect.sdl()), "SDL_RenderFillRect");
}

void Renderer::drawRects(const std::vector<Rect>& rects, Color color)
{
    doPendingClear();
    if (rects.empty())
        return;
    setDrawColor(color);
    check(SDL_RenderDrawRects(handle_, sdlRects(rects), count(rects.size())), "SDL_RenderDrawRects");
}

void Renderer::fillRects(const std::vector<Rect>& rects, Color color)
{
    doPendingClear();
    if (rects.empty())
        return;
    setDrawColor(color);
    check(SDL_RenderFillRects(handle_, sdlRects(rects), count(rects.size())), "SDL_RenderFillRects");
}

void Renderer::drawPoints(const std::vector<Point>& points, Color color)
{
    doPendingClear();
    if (points.empty())
        return;
    setDrawColor(color);
    check(SDL_RenderDrawPoints(handle_, sdlPoints(points), count(points.size())), "SDL_RenderDrawPoints");
}

void Renderer::drawLines(const std::vector<Point>& points, Color color)
{
    doPendingClear();
    if (points.empty())
        return;
    setDrawColor(color);
    check(SDL_RenderDrawLines(handle_, sdlPoints(points), count(points.size())), "SDL_RenderDrawLines");
}

void Renderer::drawPolygon(const std::vector<Point>& points, Color color)
{
    doPendingClear();
    if (points.empty())
        return;
    drawLines(points, color);
    check(SDL_RenderDrawLine(handle_, points.back().x, points.back().y, points.front().x, points.front().y),
        "SDL_RenderDrawLine");
}

void Renderer::drawCircle(const Circle& circle, Color color)
{
    doPendingClear();
    if (circle.radius <= 0)
        return;
    setDrawColor(color);
    const int cx = circle.center.x;
    const int cy = circle.center.y;
    int x = circle.radius;
    int y = 0;
    int e = 0;
    while (x >= y) {
        const SDL_Point octants[8] = {{cx + x, cy + y}, {cx + y, cy + x}, {cx - y, cy + x}, {cx - x, cy + y},
            {cx - x, cy - y}, {cx - y, cy - x}, {cx + y, cy - x}, {cx + x, cy - y}};
        check(SDL_RenderDrawPoints(handle_, octants, 8), "SDL_RenderDrawPoints");
        ++y;
        e += 2 * y + 1;
        if (e - x >= 0) {
            --x;
            e += 1 - 2 * x;
        }
    }
}

void Renderer::fillCircle(const Circle& circle, Color color)
{
    doPendingClear();
    if (circle.radius <= 0)
        return;
    setDrawColor(color);
    const int cx = circle.center.x;
    const int cy = circle.center.y;
    int x = circle.radius;
    int y = 0;
    int e = 0;
    while (x >= y) {
        check(SDL_RenderDrawLine(handle_, cx - x, cy + y, cx + x, cy + y), "SDL_RenderDrawLine");
        check(SDL_RenderDrawLine(handle_, cx - y, cy + x, cx + y, cy + x), "SDL_RenderDrawLine");
        check(SDL_RenderDrawLine(handle_, cx - x, cy - y, cx + x, cy - y), "SDL_RenderDrawLine");
        check(SDL_RenderDrawLine(handle_, cx - y, cy - x, cx + y, cy - x), "SDL_RenderDrawLine");
        ++y;
        e += 2 * y + 1;
        if (e - x >= 0) {
            --x;
            e += 1 - 2 * x;
        }
    }
}

// Walks the two regions of the midpoint ellipse and hands every step's (x, y) to plot. The decision
// values are kept in 64 bits: with 32 bits they overflow for radii of a few hundred pixels.
template <typename Plot> static void walkEllipse(int a, int b, Plot plot)
{
    const int64_t a2 = static_cast<int64_t>(a) * a;
    const int64_t b2 = static_cast<int64_t>(b) * b;

    int64_t x = 0;
    int64_t y = b;
    int64_t sigma = 2 * b2 + a2 * (1 - 2 * b);
    while (b2 * x <= a2 * y) {
        plot(static_cast<int>(x), static_cast<int>(y));
        if (sigma >= 0) {
            sigma += 4 * a2 * (1 - y);
            --y;
        }
        sigma += b2 * (4 * x + 6);
        ++x;
    }

    x = a;
    y = 0;
    sigma = 2 * a2 + b2 * (1 - 2 * a);
    while (a2 * y <= b2 * x) {
        plot(static_cast<int>(x), static_cast<int>(y));
        if (sigma >= 0) {
            sigma += 4 * b2 * (1 - x);
            --x;
        }
        sigma += a2 * (4 * y + 6);
        ++y;
    }
}

void Renderer::drawEllipse(Point center, Size radii, Color color)
{
    doPendingClear();
    if (radii.w <= 0 || radii.h <= 0)
        return;
    setDrawColor(color);
    walkEllipse(radii.w, radii.h, [&](int x, int y) {
        const SDL_Point quadrants[4] = {{center.x + x, center.y + y}, {center.x - x, center.y + y},
            {center.x + x, center.y - y}, {center.x - x, center.y - y}};
        check(SDL_RenderDrawPoints(handle_, quadrants, 4), "SDL_RenderDrawPoints");
    });
}

void Renderer::fillEllipse(Point center, Size radii, Color color)
{
    doPendingClear();
    if (radii.w <= 0 || radii.h <= 0)
        return;
    setDrawColor(color);
    walkEllipse(radii.w, radii.h, [&](int x, int y) {
        check(
            SDL_RenderDrawLine(handle_, center.x - x, center.y + y, center.x + x, center.y + y), "SDL_RenderDrawLine");
        check(
            SDL_RenderDrawLine(handle_, center.x - x, center.y - y, center.x + x, center.y - y), "SDL_RenderDrawLine");
    });
}

void Renderer::fillPolygonGL(const std::vector<Point>& points, Color /*color*/)
{
    doPendingClear();
    if (points.empty())
        return;
    const auto glBegin = reinterpret_cast<GlBegin>(SDL_GL_GetProcAddress("glBegin"));
    const auto glEnd = reinterpret_cast<GlEnd>(SDL_GL_GetProcAddress("glEnd"));
    const auto glVertex2i = reinterpret_cast<GlVertex2i>(SDL_GL_GetProcAddress("glVertex2i"));
    if (glBegin == nullptr || glEnd == nullptr || glVertex2i == nullptr)
        return;
    // SDL batches its own drawing; what it has queued must reach OpenGL before the polygon does.
    check(SDL_RenderFlush(handle_), "SDL_RenderFlush");
    glBegin(kGlPolygon);
    for (const Point& p : points)
        glVertex2i(p.x, p.y);
    glEnd();
}

Image Renderer::readPixels(const std::optional<Rect>& area) const
{
    doPendingClear();
    const Rect rect = area ? *area : Rect{{0, 0}, outputSize()};
    Image image;
    if (rect.w <= 0 || rect.h <= 0)
        return image;
    image.size = rect.size();
    image.pixels.resize(static_cast<size_t>(rect.w) * static_cast<size_t>(rect.h));
    check(SDL_RenderReadPixels(handle_, rect.sdl(), SDL_PIXELFORMAT_ARGB8888, image.pixels.data(), rect.w * 4),
        "SDL_RenderReadPixels");
    return image;
}
