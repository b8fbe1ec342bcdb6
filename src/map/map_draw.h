// Drawing a map's buffer into the current drawing target.
#pragma once

namespace qf {

class Pictures;
struct S_Map2;

// Every buffer cell as an s × s cut of the chip picture, drawn with the
// normal mode at full strength. Chip 0 is skipped on a map with the
// upper-layer flag. Draws nothing while the map is hidden or empty.
void DrawMap(const S_Map2& map, Pictures& pics);

}  // namespace qf
