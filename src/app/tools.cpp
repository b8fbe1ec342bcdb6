#include "app/tools.h"

#include <cstdio>

#include "app/command_line.h"

namespace qf {

bool isToolName(const std::string& word) {
    return word == "pack" || word == "list" || word == "unpack" || word == "verify";
}

int runTool(const std::vector<std::string>& args) {
    std::fprintf(stderr, "quillfen: the '%s' tool is not available in this build\n\n%s", args[0].c_str(), usageText());
    return 2;
}

}  // namespace qf
