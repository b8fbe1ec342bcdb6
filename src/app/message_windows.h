// Start-up of the message window and the message log.
#pragma once

namespace qf {

struct Engine;

// The defaults of both windows (the message window's wait cursor placed for
// the font of the display's start, before the drawing defaults shrink it)
// and their update and draw in the window table.
void installMessageWindows(Engine& e);

}  // namespace qf
