#pragma once

class Input;
class Window;

// F11 or Alt+Enter, pressed during the last poll, switches the window to desktop full screen and back.
// Returns whether it did.
bool toggleFullscreenOnKey(const Input& input, Window& window);
