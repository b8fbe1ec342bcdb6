#include "app/variable_dump.h"

#include "app/engine.h"

namespace qf {

std::string variableDump(const Engine& e) { return dumpVarsText(e.vars); }

}  // namespace qf
