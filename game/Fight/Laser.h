#pragma once

#include "Graphics/BaseDrawable.h"
#include "Graphics/Texture.h"
#include "Math/Point.h"

#include <cstdint>
#include <string>

// The second boss's bolt: flies diagonally 6 pixels a frame on each axis, turns upward once at the
// ground line and leaves through the top. Copies share the picture.
class Laser : public BaseDrawable {
public:
    static constexpr int kStep = 6;
    static constexpr int kSize = 16;

    static constexpr int32_t kUpLeft = 0;
    static constexpr int32_t kUpRight = 1;
    static constexpr int32_t kDownLeft = 2;
    static constexpr int32_t kDownRight = 3;

    explicit Laser(const std::string& texturePath);

    void setPosition(Point position);
    Point position() const { return position_; }
    void move();
    void setDirection(int32_t direction) { direction_ = direction; }
    int32_t direction() const { return direction_; }
    const Texture& texture() const { return texture_; }

    // The picture points down and to the right; the other directions mirror it.
    void draw() override;

private:
    Point position_;
    Texture texture_;
    int32_t direction_ = kDownLeft;
};
