// Behaviour of the picture script commands on their evaluated integer
// arguments; kArgAbsent (_NIL) marks an argument left out.
#pragma once

#include <array>
#include <string>

namespace qf {

class Pictures;

// "#bgColor" R G B
void picBgColor(Pictures& pics, const std::array<int, 3>& args);
// "#picLoad" slot file [flag]: 1 when the slot is valid (the caller then sets
// _picW[slot] and _picH[slot] and the first map's chips per row), 0 otherwise.
int picLoad(Pictures& pics, int slot, const std::string& file, int flag);
// "#picClear": nothing.
void picClear(Pictures& pics);
// "#picTransColor" n R G B, with n the table index (slot + 8).
void picTransColor(Pictures& pics, const std::array<int, 4>& args);
// "#picCopy" target src x y w h sx sy alpha mode
void picCopy(Pictures& pics, const std::array<int, 10>& args);
// "#picFlip" slot mode
void picFlip(Pictures& pics, const std::array<int, 2>& args);
// "#picRegion" slot x y w h
void picRegion(Pictures& pics, const std::array<int, 5>& args);
// "#picFloodFill" R G B [fromR fromG fromB]
void picFloodFill(Pictures& pics, const std::array<int, 6>& args);

}  // namespace qf
