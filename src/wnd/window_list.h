// The window table as the debug display lists it.
#pragma once

namespace qf {

struct TextState;
struct WindowTable;

// A box at (x, y), the caption, every window's name from the front one back,
// and the window count, into the current drawing target.
void DrawWindowList(const WindowTable& t, TextState& text, int x, int y);

}  // namespace qf
