#pragma once

#include "Math/Point.h"

#include <cstdint>

// The mouse snapshot: position in logical coordinates, buttons of this poll and the previous one,
// and the wheel motion of this poll.
class Mouse {
public:
    Mouse();

    // previousPosition := position, previousButtons := buttons, then SDL's state, mapped to logical
    // coordinates with toLogical.
    void takeSnapshot();
    void setWheel(Point wheel) { wheel_ = wheel; }

    bool isButtonPressed(int button) const;
    bool isButtonDown(int button) const;
    bool isButtonReleased(int button) const;
    Point position() const { return position_; }
    Point previousPosition() const { return previousPosition_; }
    Point wheel() const { return wheel_; }
    bool isWheelUp() const { return wheel_.y > 0; }
    bool isWheelDown() const { return wheel_.y < 0; }
    bool movedUp() const { return previousPosition_.y > position_.y; }
    bool movedDown() const { return previousPosition_.y < position_.y; }

private:
    Point position_;
    Point previousPosition_;
    Point wheel_;
    uint32_t previousButtons_ = 0;
    uint32_t buttons_ = 0;
};

// Puts the pointer at a logical position (converted with toWindow) in the core's window.
void warpMouse(Point logical);
