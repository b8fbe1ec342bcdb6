// The engine's map events: the object layer and the movement range.
#pragma once

#include "map/objects.h"
#include "map/range.h"

namespace qf {

struct MapEvents {
    MapObjects objects;
    MovementRange range;
};

}  // namespace qf
