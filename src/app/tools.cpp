#include "app/tools.h"

#include <iostream>

#include "res/archive_tools.h"

namespace qf {

bool isToolName(const std::string& word) {
    return word == "pack" || word == "list" || word == "unpack" || word == "verify";
}

int runTool(const std::vector<std::string>& args) { return runArchiveTool(args, std::cout, std::cerr); }

}  // namespace qf
