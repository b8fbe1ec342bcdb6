// The script's vocabulary by family. Each family file exports its bindings of
// command name to handler; the registry places them at their names' positions
// in an interpreter's dispatch table.
#pragma once

#include <span>
#include <vector>

#include "script/command_table.h"

namespace qf {

class Interpreter;

struct CommandBinding {
    const char* name;
    CommandHandler handler;
};
using CommandFamily = std::span<const CommandBinding>;

extern const CommandFamily kControlCommands;   // conditions, switch, loops, jumps, includes of scripts
extern const CommandFamily kEngineCommands;    // debug, dialogs, run modes, quit, title, waits, timers, random
extern const CommandFamily kDisplayCommands;   // the screen mode
extern const CommandFamily kVariableCommands;  // arrays, enumerations, variable operations
extern const CommandFamily kNumberCommands;    // texts and numbers
extern const CommandFamily kFileCommands;
extern const CommandFamily kTableCommands;     // tables, flags, binary buffers
extern const CommandFamily kPictureCommands;
extern const CommandFamily kFontCommands;
extern const CommandFamily kPlaneCommands;
extern const CommandFamily kSpriteCommands;
extern const CommandFamily kGaugeCommands;
extern const CommandFamily kInputCommands;
extern const CommandFamily kWindowCommands;
extern const CommandFamily kChoiceCommands;     // selection, number and name windows
extern const CommandFamily kRecordCommands;     // save records and the record window
extern const CommandFamily kAudioCommands;     // MIDI, MCI, sound-effect slots, Ogg music
extern const CommandFamily kEffectCommands;    // fades, flashes, the dissolve, the shake, clips
extern const CommandFamily kMessageCommands;   // the message window and the message log
extern const CommandFamily kPluginCommands;    // script plug-ins
extern const CommandFamily kImagePluginCommands;  // pictures through image plug-ins
extern const CommandFamily kMovieCommands;        // movie frames into picture slots
extern const CommandFamily kKpiCommands;       // KPI music
extern const CommandFamily kMapCommands;       // tile maps, the land table, the quick look at an "lmu" file
extern const CommandFamily kEventCommands;     // map objects, events, movement ranges

void cmdNothing(Engine&);

// Every family's bindings, in one list.
std::vector<CommandBinding> commandBindings();
// Fills the dispatch table: every name bound to its handler, the rest to cmdNothing.
void installCommands(Interpreter& interpreter);

// Commands whose families are not built yet: they do nothing for now.
const std::vector<const char*>& pendingCommandNames();
// Commands that do nothing by design.
const std::vector<const char*>& inertCommandNames();

}  // namespace qf
