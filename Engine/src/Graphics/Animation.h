#pragma once

#include "Core/FrameTimer.h"
#include "Graphics/BaseDrawable.h"
#include "Graphics/Color.h"
#include "Graphics/Texture.h"
#include "Math/Rect.h"

#include <SDL_render.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What an animation file describes: the sheet's path (relative to the working directory), an
// optional transparent colour, the delay per frame in milliseconds, the count to reserve room for,
// and the frame rectangles in document order.
//
//   <sheet image="data/img/x.png" transparentColor="#FF00FF">
//     <animation delay="100" count="3">
//       <frame x="0" y="0" width="32" height="32"/> ...
//     </animation>
//   </sheet>
struct AnimationData {
    std::string image;
    Color transparentColor;
    uint32_t delay = 0;
    uint32_t count = 0;
    std::vector<Rect> frames;
    // The XML parser's description of the first error and its byte offset; empty when the text parsed.
    std::string parseError;
    ptrdiff_t parseErrorOffset = 0;
};

// A sprite-sheet animation: one frame at a time, advanced once per FrameTimer firing. Copies share
// the sheet but keep their own frame and timer state. A file that cannot be read, that is not
// well-formed XML, that describes no frame or a frame without width or height, is a load failure
// ("File <path> failed load!", "Animation <path> failed load!" followed by the reason).
class Animation : public BaseDrawable {
public:
    Animation(const std::string& path, int looping, bool skipImage = false);

    // Parses an animation file's text tolerantly (missing numbers are 0, a missing colour is empty);
    // never fails: broken XML is reported in the result with the nodes read before it. The frame
    // reservation is capped, the frames read all count.
    static AnimationData parse(std::string_view xml);

    // One frame's worth of time passes: on a timer firing the next frame is shown; after the last,
    // the first again when looping is 1, otherwise the last stays.
    void update();
    void draw() override;
    void drawEx(double angle, SDL_RendererFlip flip, const std::optional<Point>& center = std::nullopt);
    void drawFlipped(SDL_RendererFlip flip);
    void reset();
    bool isFirstFrame() const { return current_ == 0; }
    bool isLastFrame() const { return current_ == frames_.size() - 1; }
    void setPosition(Point position) { rect().setPosition(position); }
    void setTexture(const Texture& texture) { texture_ = texture; }
    // A copy sharing the sheet, so that its alpha fades the animation.
    Texture texture() const { return texture_; }

    uint32_t current() const { return current_; }
    const std::vector<Rect>& frames() const { return frames_; }
    const FrameTimer& frameTimer() const { return frameTimer_; }
    int looping() const { return looping_; }

private:
    // Fatal, with the reason, for data that cannot make an animation.
    static void checkLoaded(const std::string& path, const AnimationData& data);

    Rect destination() const;

    Texture texture_;
    std::vector<Rect> frames_;
    FrameTimer frameTimer_;
    int looping_ = 0;
    uint32_t current_ = 0;
};
