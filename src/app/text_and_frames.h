// Start-up of the text defaults and the flag window.
#pragma once

namespace qf {

struct Engine;

// The first font and the window colour, then the drawing defaults (font
// height 10, white text, chosen with the back buffer as the target, after
// which the window slot is selected again), and the flag window's update and
// draw in the window table. Called once the start-up windows are registered.
void installTextAndFrames(Engine& e);

}  // namespace qf
