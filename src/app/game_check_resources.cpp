#include "app/game_check_resources.h"

#include <algorithm>
#include <cstdio>

#include "app/engine.h"
#include "platform/sjis.h"
#include "res/file_manager.h"
#include "script/command_table.h"
#include "script/plugin_names.h"

namespace qf {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string_view firstWord(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && static_cast<unsigned char>(s[i]) > 32) ++i;
    return s.substr(0, i);
}

std::string textOf(const variant& v) {
    const char* text = v.raw();
    return text ? std::string(text) : std::string();
}

// A literal integer piece, or -1.
int literalCount(std::string_view piece) {
    piece = trimmed(piece);
    if (piece.empty() || piece.size() > 6) return -1;
    int n = 0;
    for (char c : piece) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

struct ResourceArgument {
    const char* command;
    int piece;
    const char* what;
};

// Arguments that name a resource read through the resource lookup.
constexpr ResourceArgument kResourceArguments[] = {
    {"#picLoad", 1, "picture"},     {"#susieLoad", 1, "picture"},
    {"#wavLoad", 1, "sound"},       {"#oggLoad", 0, "sound"},
    {"#kpiLoad", 0, "sound"},       {"#midiLoad", 0, "MIDI file"},
    {"#msg", 1, "voice"},           {"#tblLoad", 1, "table"},
    {"#mapLoad", 0, "map"},         {"#mapLandLoad", 0, "land table"},
    {"#evtLoad", 1, "event table"}, {"#exec", 0, "script"},
};

}  // namespace

void inspectPlugins(Engine& e, const LoadedScript& s, PluginWords& words, Findings& findings) {
    const Program& p = s.program;
    const int cLoad = findCommand("#dllLoad");
    for (int i = 0; i < p.lineCount(); ++i) {
        const ProgramLine& line = p.lines[static_cast<size_t>(i)];
        if (line.command != cLoad) continue;
        const std::string& file = s.fileOf(i).name;
        const int at = s.editorLineOf(i);
        std::vector<std::string_view> pieces = argumentPieces(line);
        std::optional<std::string> name = pieces.empty() ? std::nullopt : literalText(e, pieces[0]);
        if (!name) {
            words.complete = false;
            findings.warning(file, at, "the plug-in's name is computed: its words are not checked");
            continue;
        }
        bool seen = false;
        for (int k = 0; k < e.plugins.used(); ++k)
            if (textOf(e.plugins.slot(k).m_strFile) == *name) seen = true;
        if (seen) continue;
        if (e.plugins.used() >= PluginHost::kSlotCapacity) {
            findings.error(file, at,
                           "more than " + std::to_string(PluginHost::kSlotCapacity) + " plug-ins: " + quoted(*name) +
                               " is not loaded");
            continue;
        }
        e.plugins.load(*name);
        const S_Dll& dll = e.plugins.slot(e.plugins.used() - 1);
        if (!dll.m_hModule) {
            bool present = false;
            for (const std::string& candidate : pluginFileNames(*name, ".dll"))
                present = present || e.files.Root().size(candidate) >= 0;
            if (present) {
                words.complete = false;
                findings.warning(
                    file, at,
                    "plug-in " + quoted(*name) + " cannot be loaded on this system: its words are not checked");
            } else {
                findings.error(file, at, "plug-in " + quoted(*name) + " not found");
            }
            continue;
        }
        if (!dll.m_pInit || !dll.m_pClose) {
            findings.error(file, at, "plug-in " + quoted(*name) + " lacks dllInitA or dllClose");
            continue;
        }
        for (int k = 0; k < dll.m_nCommandCount; ++k) words.words.insert(textOf(dll.m_strWord[static_cast<size_t>(k)]));
    }
}

void checkResources(Engine& e, const LoadedScript& s, Findings& findings, std::vector<std::string>& scripts) {
    const Program& p = s.program;
    auto exists = [&](const std::string& name) { return resSizeGet(e.resources, name) > 0; };
    auto missing = [&](int i, const std::string& what, const std::string& name) {
        std::string message = what + " " + quoted(name) + " not found";
        if (e.files.m_nRomMode == 2) message += " in the archive";
        findings.error(s.fileOf(i).name, s.editorLineOf(i), message);
    };
    std::vector<std::string> includesSeen;
    const int cExec = findCommand("#exec"), cBinLoad = findCommand("#binLoad"), cFontInst = findCommand("#fontInst"),
              cClipLoad = findCommand("#clipLoad"), cInclude = findCommand("#include");
    // The resource argument of each command index, resolved once.
    std::vector<const ResourceArgument*> argumentOf(kCommandCount, nullptr);
    for (const ResourceArgument& arg : kResourceArguments)
        argumentOf[static_cast<size_t>(findCommand(arg.command))] = &arg;
    for (int i = 0; i < p.lineCount(); ++i) {
        const ProgramLine& line = p.lines[static_cast<size_t>(i)];
        const int c = line.command;
        if (c < 0 || c >= kCommandCount) continue;
        if (!argumentOf[static_cast<size_t>(c)] && c != cBinLoad && c != cFontInst && c != cClipLoad && c != cInclude)
            continue;
        std::vector<std::string_view> pieces = argumentPieces(line);
        if (const ResourceArgument* found = argumentOf[static_cast<size_t>(c)]) {
            const ResourceArgument& arg = *found;
            if (static_cast<int>(pieces.size()) <= arg.piece) continue;
            std::optional<std::string> name = literalText(e, pieces[static_cast<size_t>(arg.piece)]);
            if (!name || name->empty()) continue;
            if (!exists(*name))
                missing(i, arg.what, *name);
            else if (c == cExec)
                scripts.push_back(*name);
        }
        if (c == cBinLoad && pieces.size() > 1) {
            // Binary files are read from the game directory, never from the archive.
            std::optional<std::string> name = literalText(e, pieces[1]);
            if (name && !name->empty() && e.files.Root().size(*name) < 0)
                findings.warning(s.fileOf(i).name, s.editorLineOf(i),
                                 "binary file " + quoted(*name) +
                                     " is not in the game directory (fine if the game writes it first)");
        } else if (c == cFontInst) {
            std::string name(trimmed(line.args));
            if (!name.empty() && !exists(name)) missing(i, "font", name);
        } else if (c == cClipLoad && pieces.size() >= 2) {
            std::optional<std::string> base = literalText(e, pieces[0]);
            const int count = literalCount(pieces[1]);
            const int digits = pieces.size() >= 3 ? std::clamp(literalCount(pieces[2]), 1, 3) : -1;
            if (!base || count < 1 || digits < 1) continue;
            for (int frame = 0; frame < std::min(count, 256); ++frame) {
                char number[16];
                std::snprintf(number, sizeof number, "%0*d", digits, frame);
                const std::string name = *base + number + ".bmp";
                if (!exists(name)) {
                    missing(i, "clip frame", name);
                    break;
                }
            }
        } else if (c == cInclude) {
            // Includes the loader could not read, or had no room for.
            std::string word(firstWord(trimmed(line.args)));
            if (word.empty()) continue;
            const std::string name = valueText(e.rpn.rpnFirst(word.c_str()));
            includesSeen.push_back(name);
            if (std::find(s.missingIncludes.begin(), s.missingIncludes.end(), name) != s.missingIncludes.end()) {
                missing(i, "include", name);
            } else if (name != p.mainScript &&
                       std::none_of(p.includes.begin(), p.includes.end(),
                                    [&](const IncludeEntry& inc) { return inc.name == name; })) {
                findings.error(s.fileOf(i).name, s.editorLineOf(i),
                               "include list full (" + std::to_string(Program::kIncludeCapacity) +
                                   " files): " + quoted(name) + " is not loaded");
            }
        }
    }
    // The loader finds "#include" anywhere in a line, even where no command is.
    for (const std::string& name : s.missingIncludes)
        if (std::find(includesSeen.begin(), includesSeen.end(), name) == includesSeen.end())
            findings.error(s.files.front().name, 1, "include " + quoted(name) + " not found");
}

}  // namespace qf
