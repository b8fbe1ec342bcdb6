// The tile maps in the window table: the per-frame step before the focus
// window's update, the current map drawn as "WND_MAP", the upper layer after
// the sprites.
#pragma once

namespace qf {

struct Engine;

// One frame of the maps: the map keys while "WND_MAP" stands in front, the
// current map's scrolling and refill, its "_map…" variables, then the upper
// layer's scrolling and refill (the upper layer takes no keys).
void stepMaps(Engine& e);
// The current map into the back buffer.
void drawCurrentMap(Engine& e);
// The upper layer into the back buffer.
void drawUpperLayer(Engine& e);

// Installs the three above. Called once the start-up windows are registered.
void installMapLayers(Engine& e);

}  // namespace qf
