// The game authors' tools: quillfen pack | list | unpack | verify | check.
#pragma once

#include <string>
#include <vector>

namespace qf {

bool isToolName(const std::string& word);
// Runs the tool named by args[0]; 0 success, 1 the check failed, 2 bad usage.
int runTool(const std::vector<std::string>& args);

}  // namespace qf
