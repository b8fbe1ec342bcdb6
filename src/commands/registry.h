// Handlers by family. Each family lists its bindings of command name to
// handler; the command table places them at their names' positions.
#pragma once

#include <vector>

#include "script/command_table.h"

namespace qf {

struct CommandBinding {
    const char* name;
    CommandHandler handler;
};

void cmdNothing(Engine&);

// Every binding of every family, in one list.
const std::vector<CommandBinding>& commandBindings();

const std::vector<CommandBinding>& controlCommandBindings();
const std::vector<CommandBinding>& engineCommandBindings();
const std::vector<CommandBinding>& dataCommandBindings();
const std::vector<CommandBinding>& tableCommandBindings();
const std::vector<CommandBinding>& pictureCommandBindings();
const std::vector<CommandBinding>& inputCommandBindings();
const std::vector<CommandBinding>& fontCommandBindings();
const std::vector<CommandBinding>& windowCommandBindings();
const std::vector<CommandBinding>& spriteCommandBindings();
const std::vector<CommandBinding>& gaugeCommandBindings();
const std::vector<CommandBinding>& planeCommandBindings();

// Commands whose families are not built yet: they do nothing for now.
const std::vector<const char*>& pendingCommandNames();
// Commands that do nothing by design.
const std::vector<const char*>& inertCommandNames();

}  // namespace qf
