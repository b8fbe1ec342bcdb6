// The game's files as "quillfen check" sees them: resources that scripts name
// by a literal text, looked up the way the engine looks them up, and the
// plug-ins the game loads, whose registrations give their script words.
#pragma once

#include <string>
#include <vector>

#include "app/game_check_findings.h"
#include "app/game_check_script.h"

namespace qf {

struct Engine;

// Loads every plug-in a "#dllLoad" names literally and adds its words.
// A plug-in that cannot be loaded here (or a name that is computed) makes the
// word list incomplete.
void inspectPlugins(Engine& e, const LoadedScript& s, PluginWords& words, Findings& findings);

// Reports resources that the lookup cannot find. The scripts "#exec" names
// literally (and that exist) are added to `scripts`.
void checkResources(Engine& e, const LoadedScript& s, Findings& findings, std::vector<std::string>& scripts);

}  // namespace qf
