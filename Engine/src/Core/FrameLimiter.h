#pragma once

#include <cstdint>

// The engine clock: nanoseconds of a monotonic clock (one that time corrections never step), relative
// to the first reading.
int64_t now();

// Ends a frame: the process-wide deadline moves on by one frame period; the thread sleeps until it
// (never busy-waits), then the deadline restarts from the moment of waking. A slow frame is not made
// up by later ones.
void limitFrameRate(uint32_t fps);
