#include "Fight/WorldState.h"

#include "Fight/World.h"

#include <cstdio>

namespace {

// FNV-1a over 32-bit words: short, and any changed value changes it.
class Fnv1a {
public:
    void add(int32_t value)
    {
        auto word = static_cast<uint32_t>(value);
        for (int i = 0; i < 4; ++i) {
            hash_ = (hash_ ^ (word & 0xFFu)) * 16777619u;
            word >>= 8;
        }
    }
    void add(const Rect& rect)
    {
        add(rect.x);
        add(rect.y);
    }
    template <typename List> void addAll(const List& objects)
    {
        add(static_cast<int32_t>(objects.size()));
        for (const auto& object : objects)
            add(object.rect());
    }
    uint32_t value() const { return hash_; }

private:
    uint32_t hash_ = 2166136261u;
};

} // namespace

std::string checksumText(uint32_t checksum)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08x", checksum);
    return text;
}

std::string WorldState::describe() const
{
    return "checksum " + checksumText(checksum) + ", player " + std::to_string(playerHealth) + ", boss01 "
        + std::to_string(boss01Health) + ", boss02 " + std::to_string(boss02Health);
}

WorldState worldStateOf(World& world)
{
    Fnv1a hash;
    hash.add(world.player.rect());
    hash.add(world.player.getHealth());
    hash.add(world.boss01.rect());
    hash.add(world.boss01.health());
    hash.add(world.boss02.rect());
    hash.add(world.boss02.health());
    hash.addAll(world.player.getBullets());
    hash.addAll(world.boss01.rockets());
    hash.addAll(world.boss02.lasers());
    hash.addAll(world.boss02.fireballs());
    return {hash.value(), world.player.getHealth(), world.boss01.health(), world.boss02.health()};
}
