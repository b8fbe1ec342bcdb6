#include "app/game_load.h"

#include "app/engine.h"
#include "app/report.h"
#include "platform/sjis.h"
#include "script/interpreter.h"
#include "script/script_services.h"

namespace qf {

namespace {

// The text after the last "."; "" when there is none (case kept).
std::string extensionOf(const std::string& name) {
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

}  // namespace

int gameCmdLineCheck(Engine& e, const std::string& name) {
    dbg(e.host, "gameCmdLineCheck", name);
    if (name.empty()) return 0;
    dbg(e.host, "ok");
    std::string ext = extensionOf(name);
    if (ext == "txt") {
        dbg(e.host, "gameCmdLineCheck:ptExt", ext);
        setRomMode(e, 1);
        scriptOpen(e, name);
    } else if (ext == "ar1") {
        setRomMode(e, 2);
        if (openArchive(e, name)) scriptOpen(e, "main.txt");
    }
    dbg(e.host, "gameCmdLineCheck:m_nRomMode", romMode(e));
    return romMode(e);
}

void gameLoad(Engine& e, const std::string& name) {
    dbg(e.host, "gameLoad", name);
    resManagerSet(e.resources, &e.files);
    if (gameCmdLineCheck(e, name) != 0) return;
    dbg(e.host, "gameLoad", sj("コマンドライン無し"));
    std::vector<std::string> files = listGameDirectory(e);
    for (const std::string& f : files) {
        if (f == "main.txt") {
            setRomMode(e, 1);
            scriptOpen(e, "main.txt");
            break;
        }
    }
    if (romMode(e) == 1) {
        for (const std::string& f : files)
            if (extensionOf(f) == "ar1") return;
        startPacker(e);
        return;
    }
    for (const std::string& f : files) {
        if (extensionOf(f) != "ar1") continue;
        setRomMode(e, 2);
        if (openArchive(e, f)) scriptOpen(e, "main.txt");
        return;
    }
}

}  // namespace qf
