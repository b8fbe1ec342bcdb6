// Start-up of the selection, number, name and record windows: their frames'
// default places and looks, and their update and draw in the window table.
#pragma once

namespace qf {

struct Engine;

// Called once the start-up windows are registered and the font is set.
void installChoiceAndRecordWindows(Engine& e);

}  // namespace qf
