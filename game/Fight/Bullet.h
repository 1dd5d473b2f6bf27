#pragma once

#include "Graphics/BaseDrawable.h"
#include "Graphics/Texture.h"
#include "Math/Point.h"

#include <string>

// The player's projectile: flies 12 pixels a frame on each moving axis, in one of eight directions.
// Copies share the picture, so firing never loads anything.
class Bullet : public BaseDrawable {
public:
    static constexpr int kStep = 12; // pixels per frame on each moving axis
    static constexpr int kSize = 8; // the hit box is 8 x 8 whatever the picture

    // Horizontal directions.
    static constexpr int kLeft = 0;
    static constexpr int kRight = 1;
    // Vertical directions.
    static constexpr int kLevel = 0;
    static constexpr int kDiagonalUp = 1;
    static constexpr int kDiagonalDown = 2;
    static constexpr int kStraightUp = 3;
    static constexpr int kStraightDown = 4;

    Bullet(const std::string& texturePath, Point position, int hdir);

    void setPosition(Point position);
    Point getPosition() const { return {x_, y_}; }
    void setHdir(int hdir) { hdir_ = hdir; }
    void setVdir(int vdir) { vdir_ = vdir; }
    int hdir() const { return hdir_; }
    int vdir() const { return vdir_; }
    const Texture& texture() const { return texture_; }

    // One frame of flight.
    void move();
    void draw() override;

private:
    int x_ = 0;
    int y_ = 0;
    Texture texture_;
    int hdir_ = kRight;
    int vdir_ = kLevel;
};
