#pragma once
// The renderer of a window that nobody sees (the simulator, the tests). The game's own window keeps
// the accelerated renderer.

// Makes the next Core::init draw with SDL's software renderer straight into the window's own memory,
// instead of OpenGL on a software rasteriser or an upload of the window's picture to OpenGL every
// frame: the same picture (within 1 per channel where pictures are blended) for a few memory copies a
// frame. Settings already in the environment (SDL_RENDER_DRIVER, SDL_FRAMEBUFFER_ACCELERATION) win, so
// a run can still ask for another renderer. Call it before Core::init.
void chooseHeadlessRendering();
