#include "Math/Random.h"

#include <ctime>

namespace {

struct XorshiftState {
    uint32_t seed = static_cast<uint32_t>(std::time(nullptr));
    uint32_t x = seed;
    uint32_t y = 362436069;
    uint32_t z = 521288629;
};

// Created on first use, so the clock seed is taken by the first draw, not at start-up.
XorshiftState& state()
{
    static XorshiftState s;
    return s;
}

} // namespace

uint32_t Random::random()
{
    XorshiftState& s = state();
    s.x ^= s.x << 16;
    s.x ^= s.x >> 5;
    s.x ^= s.x << 1;
    const uint32_t t = s.x;
    s.x = s.y;
    s.y = s.z;
    s.z = t ^ s.x ^ s.y;
    return s.z;
}

int32_t Random::randomInt(int32_t min, int32_t max)
{
    const uint32_t range = static_cast<uint32_t>(max) - static_cast<uint32_t>(min) + 1u;
    // The whole 32-bit range wraps the count to 0: every number of the generator is in range.
    if (range == 0)
        return static_cast<int32_t>(random());
    return static_cast<int32_t>(random() % range + static_cast<uint32_t>(min));
}

void Random::seed(uint32_t x)
{
    XorshiftState& s = state();
    s = XorshiftState{};
    s.seed = x;
    s.x = x;
}

uint32_t Random::seedInUse() { return state().seed; }
