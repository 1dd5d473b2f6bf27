#pragma once

#include <cstdint>
#include <string>

struct World;

// A short fingerprint of the world after a frame, for replays to find the first frame where a replayed
// game went another way than the recorded one. The checksum covers the player's position and health,
// both bosses' positions and health, and the count and position of every bullet, rocket, laser and
// fireball; the three health values are also kept in the clear.
struct WorldState {
    uint32_t checksum = 0;
    int32_t playerHealth = 0;
    int32_t boss01Health = 0;
    int32_t boss02Health = 0;

    bool operator==(const WorldState&) const = default;
    // "checksum 1a2b3c4d, player 30, boss01 0, boss02 640"
    std::string describe() const;
};

WorldState worldStateOf(World& world);
// A checksum as the eight hexadecimal digits replays write.
std::string checksumText(uint32_t checksum);
