// Start-up, the frame and shutdown.
#pragma once

#include "app/engine.h"

namespace qf {

// Start-up in its fixed order; 0 when the display could not be set up.
int GameInit(Engine& engine);
// One pass of the frame: 1 when a frame ran, 0 when nothing was done
// (window unfocused or the pacer held the frame back).
int FrameTick(Engine& engine);
// Shutdown in its fixed order.
void GameClose(Engine& engine);

// Asks the message loop to end after the current frame (PostQuitMessage).
inline void PostQuit(Engine& engine) { engine.game.quitPosted = 1; }

// Registers the start-up windows at their fixed ids.
void RegisterStartupWindows(Engine& engine);

}  // namespace qf
