// The script loader: turns a script file and its includes into the program.
#pragma once

#include <string>

namespace qf {

struct Engine;

// Builds the program from `fileName` and its includes; 1 on success, 0 when
// the main file is missing or empty. The caller resets the program first.
int scriptLoad(Engine& engine, const std::string& fileName);
// Frees the program lines.
void scriptRelease(Engine& engine);

}  // namespace qf
