// The real window: SDL2 video, keyboard, mouse, wheel and game controllers.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/host.h"

namespace qf {

// What the person running the program chose for the window. None of it is
// visible to a game: sizes, cursor positions and the clock it sees stay those
// of an unscaled window at normal speed.
struct SdlOptions {
    int refreshOverride = -1;   // < 0 keeps the display's own refresh rate
    std::string logPath;
    bool fullscreen = false;    // start in full screen (Alt+Enter toggles it)
    int zoomPercent = 0;        // the first window shows the screen at this zoom; 0: the game's own
    std::string screenshotDir;  // F12 saves PNG files here, creating it when needed
    std::vector<std::string> iconFiles;  // the first PNG that loads is the window's icon
};

// The zoom every game window starts at; a player's zoom scales the window by
// zoomPercent / kGameZoomPercent.
constexpr int kGameZoomPercent = 200;

// Opens the main window (hidden until the first present); null with a
// message when no display can be opened.
std::unique_ptr<Host> createSdlHost(const SdlOptions& options, std::string& error);

}  // namespace qf
