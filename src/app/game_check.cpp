#include "app/game_check.h"

#include <algorithm>
#include <memory>

#include "app/application.h"
#include "app/engine.h"
#include "app/game_check_resources.h"
#include "app/game_check_script.h"
#include "app/plugin_block.h"
#include "platform/headless/headless_host.h"
#include "platform/sjis.h"
#include "res/file_io.h"
#include "res/game_root.h"
#include "script/text.h"

namespace qf {

namespace {

constexpr size_t kScriptLimit = 64;  // scripts reached through "#exec" that are checked

std::string extensionOf(const std::string& name) {
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

bool openArchive(Engine& e, const std::string& name, std::string& failure) {
    e.files.m_nRomMode = 2;
    if (!e.files.RomOpen(name) || !e.files.m_pRom) {
        failure = "the archive " + sjisToUtf8(name) + " cannot be read";
        return false;
    }
    return true;
}

// Chooses the run source as game loading does: the script or archive given,
// else a loose "main.txt", else the first archive of the directory.
bool openGame(Engine& e, const std::string& given, std::string& mainScript, std::string& failure) {
    mainScript = "main.txt";
    const std::string ext = extensionOf(given);
    if (ext == "txt") {
        e.files.m_nRomMode = 1;
        mainScript = given;
        return true;
    }
    if (ext == "ar1") return openArchive(e, given, failure);
    std::string listing;
    fileListGet(e.files.Root(), listing, "", 2, "\\*");
    const std::vector<std::string> files = splitAny(listing, "\n");
    for (const std::string& f : files)
        if (f == "main.txt") {
            e.files.m_nRomMode = 1;
            return true;
        }
    for (const std::string& f : files)
        if (extensionOf(f) == "ar1") return openArchive(e, f, failure);
    failure = "no main.txt and no .ar1 archive";
    return false;
}

}  // namespace

bool checkGame(const std::string& path, const GameCheckOptions& options, Findings& findings, std::string& failure) {
    GameLocation location;
    if (!locateGame(path, location, failure)) {
        failure = "no such file or directory";
        return false;
    }
    std::string reason;
    std::optional<GameRoot> root = GameRoot::open(location.directory, &reason);
    if (!root) {
        failure = "cannot open the directory: " + reason;
        return false;
    }
    HeadlessHost host;
    auto engine = std::make_unique<Engine>(host);
    Engine& e = *engine;
    e.files.SetRoot(std::move(*root));
    fillPluginBlock(e);
    if (!options.programDir.empty()) e.plugins.places.programDir = options.programDir;
    std::string mainScript;
    if (!openGame(e, location.scriptName, mainScript, failure)) return false;
    if (e.files.m_bRomOk == 0) {
        const std::string archive = e.files.m_pRom ? e.files.m_pRom->m_strRom : std::string("archive");
        findings.error(archive, 1, "an entry fails its checksum: the engine stops the game after its first step");
    }

    // The first script, then those it reaches through "#exec", each its own program.
    std::vector<std::string> names{mainScript};
    std::vector<std::unique_ptr<LoadedScript>> scripts;
    for (size_t n = 0; n < names.size() && n < kScriptLimit; ++n) {
        auto script = std::make_unique<LoadedScript>();
        if (!loadScriptForCheck(e, names[n], *script)) {
            if (n == 0) {
                failure = sjisToUtf8(mainScript) + " is missing or empty";
                return false;
            }
            continue;
        }
        for (const ScriptFile& f : script->files) findings.noteFile(f.name);
        std::vector<std::string> reached;
        checkResources(e, *script, findings, reached);
        for (const std::string& name : reached)
            if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
        scripts.push_back(std::move(script));
    }
    // Plug-ins loaded by one script stay loaded for the scripts after it.
    PluginWords plugins;
    for (const auto& script : scripts) inspectPlugins(e, *script, plugins, findings);
    for (const auto& script : scripts) {
        checkScriptText(*script, findings);
        checkStructure(*script, findings);
        checkJumps(e, *script, findings);
        checkCommandWords(*script, plugins, findings);
    }
    return true;
}

const char* gameCheckUsage() { return "       quillfen check DIR | SCRIPT.txt | ARCHIVE.ar1\n"; }

int runGameCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const GameCheckOptions& options) {
    if (args.size() != 2 || args[1].empty()) {
        err << "usage: quillfen check DIR | SCRIPT.txt | ARCHIVE.ar1\n";
        return 2;
    }
    Findings findings;
    std::string failure;
    if (!checkGame(args[1], options, findings, failure)) {
        err << "quillfen check: " << args[1] << ": " << failure << '\n';
        return 2;
    }
    findings.print(out);
    return findings.hasErrors() ? 1 : 0;
}

}  // namespace qf
