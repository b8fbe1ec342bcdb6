// The window table as the debug display lists it.
#pragma once

namespace qf {

struct Engine;

// A box at (x, y), the caption, every window's name from the front one back,
// and the window count, into the current drawing target.
void DrawWindowList(Engine& e, int x, int y);

}  // namespace qf
