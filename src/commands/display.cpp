// The screen mode.
#include "commands/args.h"
#include "commands/registry.h"

namespace qf {

namespace {

void cmdScreen(Engine& e) {
    e.display.ScreenCommand(argInt(e, 0), argInt(e, 1), argInt(e, 2), argInt(e, 3), argGiven(e, 3));
    e.pictures.CreateScreen(e.display.backBuffer.data(), e.display.width, e.display.height);
}

}  // namespace

const CommandFamily kDisplayCommands = [] {
    static constexpr CommandBinding bindings[] = {{"#screen", cmdScreen}};
    return CommandFamily(bindings);
}();

}  // namespace qf
