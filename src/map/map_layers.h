// The engine's tile maps: four map slots, one of them current, the upper layer
// drawn above the sprites, and the land-attribute grid built from a map.
#pragma once

#include "map/land.h"
#include "map/map.h"

namespace qf {

struct MapLayers {
    static constexpr int kSlotCount = 4;

    S_Map2 slots[kSlotCount];
    S_Map2 upper{true};
    int current = 0;
    LandGrid land;

    S_Map2& Current() { return slots[current]; }
    const S_Map2& Current() const { return slots[current]; }
    // Slots outside 0..3 are ignored.
    void Select(int slot) {
        if (slot >= 0 && slot < kSlotCount) current = slot;
    }
};

}  // namespace qf
