// The variable dump of the command line (--dump-vars).
#pragma once

#include <string>

namespace qf {

struct Engine;

// One line per variable in table order, then one line per non-zero flag; UTF-8.
std::string variableDump(const Engine& engine);

}  // namespace qf
