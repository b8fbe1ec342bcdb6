#include "app/game_load.h"

#include "app/engine.h"
#include "platform/report.h"
#include "platform/sjis.h"
#include "script/interpreter.h"
#include "res/file_io.h"
#include "script/text.h"

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
        e.files.m_nRomMode = 1;
        e.interp.open(name);
    } else if (ext == "ar1") {
        e.files.m_nRomMode = 2;
        if (e.files.RomOpen(name)) e.interp.open("main.txt");
    }
    dbg(e.host, "gameCmdLineCheck:m_nRomMode", e.files.m_nRomMode);
    return e.files.m_nRomMode;
}

void gameLoad(Engine& e, const std::string& name) {
    dbg(e.host, "gameLoad", name);
    resManagerSet(e.resources, &e.files);
    if (gameCmdLineCheck(e, name) != 0) return;
    dbg(e.host, "gameLoad", sj("コマンドライン無し"));
    std::string listing;
    fileListGet(e.files.Root(), listing, "", 2, "\\*");
    const std::vector<std::string> files = splitAny(listing, "\n");
    for (const std::string& f : files) {
        if (f == "main.txt") {
            e.files.m_nRomMode = 1;
            e.interp.open("main.txt");
            break;
        }
    }
    if (e.files.m_nRomMode == 1) {
        for (const std::string& f : files)
            if (extensionOf(f) == "ar1") return;
        romCreateStart(e.packer, &e.files);
        return;
    }
    for (const std::string& f : files) {
        if (extensionOf(f) != "ar1") continue;
        e.files.m_nRomMode = 2;
        if (e.files.RomOpen(f)) e.interp.open("main.txt");
        return;
    }
}

}  // namespace qf
