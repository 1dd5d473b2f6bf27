#pragma once

#include "Graphics/BaseDrawable.h"
#include "Graphics/Texture.h"
#include "Math/Point.h"

#include <string>

// The first boss's rocket: falls straight down 6 pixels a frame. Copies share the picture.
class Rocket : public BaseDrawable {
public:
    static constexpr int kFallStep = 6;
    static constexpr int kWidth = 11;
    static constexpr int kHeight = 20;

    Rocket(const std::string& texturePath, Point position);

    void setPosition(Point position);
    Point position() const { return position_; }
    void fall();
    const Texture& texture() const { return texture_; }

    void draw() override;

private:
    Texture texture_;
    Point position_;
};
