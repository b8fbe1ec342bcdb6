// Loading a map file into a map slot and the upper layer: a raw chip file
// with its ".flr" companion, or an "lmu" map with both of its layers.
#pragma once

#include <functional>
#include <string>

#include "gfx/resource_reader.h"
#include "map/map.h"

namespace qf {

// The width in pixels of the picture in a slot (0 when it is empty).
using SheetWidthOf = std::function<int(int slot)>;

struct MapLoadResult {
    bool loaded = false;       // the map slot took the file's (lower) layer
    bool upperLoaded = false;  // the upper layer took the ".flr" file or the lmu upper layer
    bool lmu = false;
    bool unreadable = false;   // the file itself could not be read (or is empty)
    int chipSet = 0;           // lmu: the chip-set number (the editor's 1 when its chunk is absent)
    int scrollType = 0;        // lmu: the scroll type (0 when its chunk is absent)
    std::string error;         // why the map, or a layer of it, was not taken
};

// Load(name, cellWidth) of a map slot. An "lmu" name reads both layers and
// sets the chip picture of both to the chip-set number; any other name is a
// raw chip file, after which "<name up to the first .>.flr" is tried for the
// upper layer (shown when it loads, hidden when it does not). A file that
// cannot be read or parsed leaves the map as it was.
MapLoadResult loadMapFile(S_Map2& map, S_Map2& upper, const std::string& name, int cellWidth,
                          const ResourceReader& read, const SheetWidthOf& sheetWidthOf = {});

}  // namespace qf
