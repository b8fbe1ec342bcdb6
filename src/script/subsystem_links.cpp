// Links from the interpreter to subsystems that are still to be built: the
// input pads, the message window, the map events and script plug-ins. Each
// does the least that keeps a script running until its subsystem exists.
#include "app/engine.h"
#include "app/report.h"
#include "script/script_services.h"

namespace qf {

// Until the message window exists the text goes to the debugger output.
void openSystemMessage(Engine& e, const std::string& text) { dbg(e.host, text); }

void refreshAutomaticEvents(Engine&) {}

// No plug-in is loaded yet, so no plug-in provides the command.
void callPluginCommand(Engine&, int) {}

}  // namespace qf
