// The block of engine table addresses that every script plug-in receives.
#pragma once

#include <string>
#include <vector>

namespace qf {

struct Engine;

// Fills the engine's plug-in block (the variable table and its count, the
// frame timers, the input devices, the sprites) and the places plug-ins are
// looked for beside the program.
void fillPluginBlock(Engine& e);

// The directory that holds the running program, with a trailing "/"; empty
// when it cannot be found.
std::string programDirectory();

// Where an installed program keeps its bundled plug-ins: <prefix>/lib/quillfen/
// for a program in <prefix>/bin/, with a trailing "/"; empty when that
// directory does not exist (a program run from its build tree finds its
// plug-ins beside itself instead).
std::string bundledPluginDirectory();

// The directories bundled plug-ins are looked for in, in order: beside the
// program, then the installed plug-in directory (each with a trailing "/").
std::vector<std::string> bundledPluginDirectories();

}  // namespace qf
