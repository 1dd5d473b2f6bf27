#pragma once

// Points SDL at drivers that need no screen and no sound card, for tests and headless tools; call it
// before the core starts SDL. Linux: offscreen video (OpenGL through EGL), no X display (so that a
// fatal error cannot open a box that waits for a click) and dummy audio. Windows: SDL's offscreen
// driver has no OpenGL there, so Windows' own video driver stays, whose windows the core keeps
// hidden, with dummy audio; a fatal error still opens its box, as every message box on Windows does.
void useHeadlessDrivers();
