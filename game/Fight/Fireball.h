#pragma once

#include "Graphics/Animation.h"
#include "Graphics/BaseDrawable.h"
#include "Graphics/Texture.h"
#include "Math/Point.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The second boss's fireball: falls 8 pixels a frame and, told to explode, bursts into a row of ten
// explosions on the ground that spreads from the middle pair outward. Copies share the pictures.
class Fireball : public BaseDrawable {
public:
    static constexpr int kFallStep = 8;
    static constexpr int kSize = 13;
    static constexpr int kRowLength = 10;
    static constexpr int kRowSpacing = 35; // pixels between the corners of neighbouring explosions
    static constexpr int kRowOffset = -175; // the first explosion's corner, relative to the fireball's x
    static constexpr int kRowTop = 560; // the row stands on the floor

    Fireball(const std::string& texturePath, Point position);

    // Loads the explosion (not looping) and appends ten copies of it to the row.
    void setExplosion(const std::string& animationPath);
    void setPosition(Point position);
    Point position() const { return position_; }

    void update();
    void explode() { exploding_ = true; }
    bool isExploding() const { return exploding_; }
    bool isDone() const { return done_; }
    // The middle explosion is on its first frame while exploding: the burst is starting.
    bool explosionStarting() const;
    // A copy of the row, for the player's hit test.
    std::vector<Animation> explosions() const { return explosions_; }
    // The row itself, for drawing and for tests that need no copy.
    const std::vector<Animation>& row() const { return explosions_; }
    const Texture& texture() const { return texture_; }

    void draw() override;

private:
    static constexpr size_t kMiddleLeft = 4; // the explosion whose first frame marks the burst's start

    // Every explosion of the row at its corner below the fireball.
    void placeRow();
    // One frame of the burst, spreading from the middle pair outward.
    void advanceRow();

    Texture texture_;
    Point position_;
    std::optional<Animation> explosionPrototype_;
    std::vector<Animation> explosions_;
    bool exploding_ = false;
    bool done_ = false;
};
