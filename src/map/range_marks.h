// The pulsing light marks on the cells a movement range reaches.
#pragma once

namespace qf {

class Pictures;
struct MovementRange;
struct S_Map2;

// One white light tint per marked cell, keep 128 pulsing every 6 frames,
// placed on the cell where `map` shows it now. Advances the pulse.
void DrawRangeMarks(MovementRange& range, Pictures& pics, const S_Map2& map);

}  // namespace qf
