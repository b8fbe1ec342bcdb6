#include "app/tools.h"

#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>

#include "app/engine.h"
#include "app/game_check.h"
#include "app/game.h"
#include "platform/headless/headless_host.h"
#include "res/archive_tools.h"
#include "res/game_root.h"
#include "script/interpreter.h"

namespace qf {

namespace {

// The "#infoInput" and "#infoTag" sections of DIR's main.txt, loaded the way
// the game loads it, as the first 256 bytes of the game information record.
// False when DIR has no main.txt.
bool readGameInformation(const std::string& dir, uint8_t (&info)[256]) {
    std::memset(info, 0, sizeof info);
    std::optional<GameRoot> root = GameRoot::open(dir);
    if (!root) return false;
    bool loaded = false;
    {
        HeadlessHost host;
        auto engine = std::make_unique<Engine>(host);
        engine->files.SetRoot(std::move(*root));
        RegisterStartupWindows(*engine);
        engine->interp.start();
        if (resSizeGet(engine->resources, "main.txt") > 0) {
            engine->interp.open("main.txt");
            std::memcpy(info, engine->files.m_Info, sizeof info);
            loaded = true;
        }
    }
    return loaded;
}

}  // namespace

bool isToolName(const std::string& word) {
    return word == "pack" || word == "list" || word == "unpack" || word == "verify" || word == "check";
}

int runTool(const std::vector<std::string>& args) {
    if (!args.empty() && args[0] == "check") return runGameCheck(args, std::cout, std::cerr);
    uint8_t info[256];
    bool haveInfo = args.size() >= 2 && args[0] == "pack" && readGameInformation(args[1], info);
    std::ostringstream err;
    const int status = runArchiveTool(args, std::cout, err, haveInfo ? info : nullptr);
    std::string text = err.str();
    // The usage of every tool, not only the archive's.
    if (text == archiveToolUsage()) text += gameCheckUsage();
    std::cerr << text;
    return status;
}

}  // namespace qf
