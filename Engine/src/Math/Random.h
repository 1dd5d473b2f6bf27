#pragma once

#include <cstdint>

// The engine's one source of randomness: Marsaglia's xorshift generator (period 2^96 - 1),
// process-wide, seeded from the calendar clock on first use unless seeded explicitly.
// Not thread-safe: main thread only.
class Random {
public:
    // The next number of the sequence.
    static uint32_t random();
    // An integer in [min, max], both ends included; max - min + 1 must not wrap to 0.
    // Plain modulo: no correction for its bias.
    static int32_t randomInt(int32_t min, int32_t max);
    // Restarts the sequence from a known state (x = seed, y and z at their initial values),
    // so that tests and tools replay the same game.
    static void seed(uint32_t x);
    // The seed the sequence started from (the clock's, taken now if nothing was drawn yet), so that a
    // recorded game can be replayed.
    static uint32_t seedInUse();
};

inline int32_t randomInt(int32_t min, int32_t max) { return Random::randomInt(min, max); }
