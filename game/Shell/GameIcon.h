#pragma once

class Window;

// Puts the game's icon (data/icon/duelfall-<N>.png, drawn by the asset generator) on its window (the big one, and the
// small one where the system uses it). An icon file that is missing is logged and the window keeps the desktop's
// default icon. On Windows the executable's own icon resource serves instead.
void showGameIcon(Window& window);
