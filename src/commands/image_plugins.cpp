// "#susieLoad": pictures decoded by image plug-ins (or the built-in decoders).
#include "gfx/susie_load.h"
#include "commands/args.h"
#include "commands/registry.h"

namespace qf {

namespace {

void cmdSusieLoad(Engine& e) {
    const SusieLoadResult r =
        susieLoad(e.pictures, e.plugins.places, argText(e, 0), argText(e, 1), argInt(e, 2), argOr(e, 3, 0));
    if (!r.decoded) return;
    setVariableInt(e, "_biWidth", r.width);
    setVariableInt(e, "_biHeight", r.height);
    setVariableInt(e, "_biSizeImage", r.sizeImage);
}

}  // namespace

const CommandFamily kImagePluginCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#susieLoad", cmdSusieLoad},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
