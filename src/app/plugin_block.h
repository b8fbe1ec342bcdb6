// The block of engine table addresses that every script plug-in receives.
#pragma once

#include <string>

namespace qf {

struct Engine;

// Fills the engine's plug-in block (the variable table and its count, the
// frame timers, the input devices, the sprites) and the places plug-ins are
// looked for beside the program.
void fillPluginBlock(Engine& e);

// The directory that holds the running program, with a trailing "/"; empty
// when it cannot be found.
std::string programDirectory();

}  // namespace qf
