#pragma once

#include "Math/Point.h"
#include "Math/Rect.h"
#include "Math/Size.h"

#include <optional>

// Everything drawn: a rectangle on screen (for game objects also the hit box) and an optional
// source clip (absent: the whole texture).
class BaseDrawable {
public:
    BaseDrawable() = default;
    BaseDrawable(const Rect& rect, const std::optional<Rect>& clip)
        : rect_(rect)
        , clip_(clip)
    {
    }
    BaseDrawable(Point position, Size size, const std::optional<Rect>& clip)
        : rect_(position, size)
        , clip_(clip)
    {
    }
    virtual ~BaseDrawable() = default;
    BaseDrawable(const BaseDrawable&) = default;
    BaseDrawable& operator=(const BaseDrawable&) = default;
    BaseDrawable(BaseDrawable&&) = default;
    BaseDrawable& operator=(BaseDrawable&&) = default;

    virtual void draw() = 0;

    Rect& rect() { return rect_; }
    const Rect& rect() const { return rect_; }
    std::optional<Rect>& clip() { return clip_; }
    const std::optional<Rect>& clip() const { return clip_; }

private:
    Rect rect_;
    std::optional<Rect> clip_;
};
