#pragma once

#include "Frame/GameKeys.h"

// The game keys with exactly these held.
inline GameKeys keysOf(std::initializer_list<GameKey> held)
{
    GameKeys keys;
    for (GameKey key : held)
        keys.set(key, true);
    return keys;
}
