// "#susieLoad": a picture file decoded by an image plug-in (or the built-in
// decoders) into a picture slot.
#pragma once

#include <string>

#include "gfx/pictures.h"
#include "script/plugin_host.h"

namespace qf {

struct SusieLoadResult {
    bool decoded = false;  // a picture was delivered (and the variables are due)
    int width = 0, height = 0, sizeImage = 0;
};

// A missing file shows the "not found" message; a picture the decoder refuses
// leaves the slot as it was and writes a debugger line. The slot (−8..23)
// takes the picture; with `takeTrans` its transparent colour becomes the
// top-left pixel's.
SusieLoadResult susieLoad(Pictures& pictures, const PluginPlaces& places, const std::string& plugin,
                          const std::string& file, int slot, int takeTrans);

}  // namespace qf
