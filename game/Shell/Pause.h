#pragma once

#include "Graphics/Font.h"
#include "Graphics/Text.h"
#include "Graphics/Texture.h"

#include <optional>
#include <string>

class Input;
class Music;
struct Controls;

// The overlay's line of keys: the keys and pad buttons bound to pause, then the fixed ones.
std::string pauseKeysLine(const Controls& controls);

// Pausing the game. Esc or P pause and resume (or the keys bound to pause), a pad's Start does the same
// during the fight, and losing the window's focus or a pad during the fight pauses. While paused no update runs and
// nothing is recorded (so pausing never changes what happens after it), the music is paused, and the last picture stays
// under a dimmed overlay that names the keys (as bound); Q then ends the game as closing the window does, and O (or a
// pad's Y) opens the options screen over the same picture.
class Pause {
public:
    Pause();

    // Reads this frame's key presses, focus and pads. Returns whether this frame is paused. The pad's
    // Start pauses only while the fight goes on (afterwards it restarts).
    bool update(Input& input, Music& music, bool fightGoesOn);
    bool isPaused() const { return paused_; }
    // Whether this frame, paused, asks for the options screen.
    bool asksForOptions(Input& input) const;
    // The picture of the last frame played, dimmed, with "Paused" and the keys.
    void draw();
    // The dimmed picture alone, for the screens drawn over it.
    void drawPicture();

private:
    void enter(Music& music);
    void leave(Music& music);

    bool paused_ = false;
    Font titleFont_;
    Font keysFont_;
    Text title_;
    Text keys_;
    // The last frame played, copied when the pause began.
    std::optional<Texture> picture_;
};
