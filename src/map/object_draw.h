// Drawing the object layer into the back buffer.
#pragma once

namespace qf {

class Pictures;
struct MapObjects;

// Every active object with an image > 0, cut from the object sheet with
// `chipsPerRow` chips to a sheet row (taken as 1 when below 1).
void DrawObjects(const MapObjects& layer, Pictures& pics, int chipsPerRow);

}  // namespace qf
