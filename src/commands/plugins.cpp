// Script plug-ins: "#dllLoad" loads a library into the next plug-in slot.
#include "commands/args.h"
#include "commands/registry.h"

namespace qf {

namespace {

// "#dllLoad" file [info]: with a second argument the information dialog of
// the plug-in just loaded follows.
void cmdDllLoad(Engine& e) {
    e.plugins.load(argText(e, 0));
    if (argGiven(e, 1)) e.plugins.info();
}

}  // namespace

const CommandFamily kPluginCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#dllLoad", cmdDllLoad},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
