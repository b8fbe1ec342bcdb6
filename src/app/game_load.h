// Game loading: where the game comes from and its first script.
#pragma once

#include <string>

namespace qf {

struct Engine;

void gameLoad(Engine& engine, const std::string& scriptName);
int gameCmdLineCheck(Engine& engine, const std::string& scriptName);

}  // namespace qf
