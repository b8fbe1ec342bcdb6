// The real window: SDL2 video, keyboard, mouse, wheel and game controllers.
#pragma once

#include <memory>
#include <string>

#include "platform/host.h"

namespace qf {

// Opens the main window (hidden until the first present); null with a
// message when no display can be opened. `refreshOverride` < 0 keeps the
// display's own refresh rate.
std::unique_ptr<Host> createSdlHost(int refreshOverride, const std::string& logPath, std::string& error);

}  // namespace qf
