// The map events in the window table: the object step before the focus
// window's update, "WND_OBJ" drawing the objects, the range marks after the map.
#pragma once

namespace qf {

struct Engine;

// Chains onto the steps and drawing already installed; once per engine.
void installMapObjects(Engine& e);
// One frame of the object layer (also what the chained step runs).
void stepMapObjects(Engine& e);

}  // namespace qf
