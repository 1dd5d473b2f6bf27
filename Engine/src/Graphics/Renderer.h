#pragma once

#include "Graphics/Color.h"
#include "Graphics/Image.h"
#include "Graphics/Texture.h"
#include "Math/Circle.h"
#include "Math/Point.h"
#include "Math/Rect.h"
#include "Math/Size.h"

#include <SDL_render.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The owner of the window's SDL renderer. Shape operations set the draw colour to their colour
// argument and leave it set; texture copies leave it alone. A failed SDL call is logged once, with
// SDL's reason ("SDL_RenderCopy failed: ...").
// A clear is done when the next drawing, read-back, target change or present needs it, and not at all
// when the next drawing is an opaque picture that covers the whole target (the software renderer
// spends a whole-screen pass on a clear).
// Creation failure is fatal ("Renderer failed create!").
class Renderer {
public:
    Renderer(SDL_Window* window, int driverIndex, uint32_t flags);
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // For drawing with SDL directly: a clear held back is done first.
    SDL_Renderer* handle() const;
    void clear(Color color);
    void present();
    void setTarget(SDL_Texture* target);
    SDL_Texture* target() const;
    void setDrawColor(Color color);
    void setBlendMode(SDL_BlendMode mode);
    void setScale(float sx, float sy);
    Size outputSize() const;
    std::string name() const;

    // An absent source copies the whole texture.
    void copy(const Texture& texture, const Rect& destination, const std::optional<Rect>& source = std::nullopt);
    // Angle in degrees, clockwise; an absent centre is the middle of the destination.
    void copyEx(const Texture& texture, const Rect& destination, const std::optional<Rect>& source, double angle,
        SDL_RendererFlip flip, const std::optional<Point>& center = std::nullopt);

    void drawPoint(Point p, Color color);
    void drawLine(Point a, Point b, Color color);
    void drawRect(const Rect& rect, Color color);
    void fillRect(const Rect& rect, Color color);
    // List operations draw nothing, and touch no SDL state, for an empty list.
    void drawRects(const std::vector<Rect>& rects, Color color);
    void fillRects(const std::vector<Rect>& rects, Color color);
    void drawPoints(const std::vector<Point>& points, Color color);
    void drawLines(const std::vector<Point>& points, Color color);
    void drawPolygon(const std::vector<Point>& points, Color color);
    // Midpoint circle; nothing for a radius of 0 or less.
    void drawCircle(const Circle& circle, Color color);
    void fillCircle(const Circle& circle, Color color);
    // Two-region midpoint ellipse; radii.w horizontal, radii.h vertical; nothing if either is 0.
    void drawEllipse(Point center, Size radii, Color color);
    void fillEllipse(Point center, Size radii, Color color);
    // OpenGL immediate-mode polygon; the colour is not applied and the SDL renderer is bypassed.
    void fillPolygonGL(const std::vector<Point>& points, Color color);

    // Render targets lose their pixels when the device is reset (Direct3D does that when the window
    // changes size): the input counts each reset SDL announces here, and a picture cached in a target
    // is made again when the count has moved on since it was drawn.
    void noteTargetsReset();
    uint64_t targetsResets() const { return targetsResets_; }

    // The pixels of the current target (the whole of it when no rectangle is given), ARGB8888.
    Image readPixels(const std::optional<Rect>& area = std::nullopt) const;

private:
    void doPendingClear() const;
    void check(int result, const char* call) const;
    bool hidesWholeTarget(const Texture& texture, const Rect& destination, const std::optional<Rect>& source) const;

    SDL_Renderer* handle_ = nullptr;
    mutable std::optional<Color> pendingClear_;
    mutable std::set<std::string> failedCalls_; // logged already
    uint64_t targetsResets_ = 0;
};
