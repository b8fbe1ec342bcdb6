// The script side of "quillfen check": a script loaded the way the engine
// loads it, with every program line traced back to its file and editor line,
// and the checks that need only the program (command words, jumps, blocks,
// labels, table capacities, line lengths, Shift-JIS bytes).
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/game_check_findings.h"
#include "script/program.h"

namespace qf {

struct Engine;

// One script file as the loader cut it.
struct ScriptFile {
    std::string name;
    std::string text;
    int firstLine = 0;  // its program lines: [firstLine, firstLine + lineCount)
    int lineCount = 0;

    // Builds the physical-line index; call once the text is set.
    void index();
    // The loader's physical line `physical` (runs of CR cut the file), blanks included.
    std::string_view physicalLine(int physical) const;
    // The 1-based line an editor shows for it.
    int editorLine(int physical) const;

private:
    std::vector<size_t> starts_, ends_, lineFeeds_;
};

struct LoadedScript {
    Program program;
    std::vector<ScriptFile> files;  // the script first, then its includes in load order
    std::vector<std::string> missingIncludes;

    // The file that holds program line `line`.
    const ScriptFile& fileOf(int line) const;
    int editorLineOf(int line) const;
    // The program line's source text, leading blanks skipped, up to its line end.
    std::string_view sourceOf(int line) const;
};

// Loads `name` and its includes. False when the script is missing or empty.
bool loadScriptForCheck(Engine& e, const std::string& name, LoadedScript& out);

// The words a line's plug-in calls may use: those registered by plug-ins the
// game loads; `complete` is false when some plug-in could not be inspected.
struct PluginWords {
    std::set<std::string> words;
    bool complete = true;
};

void checkScriptText(const LoadedScript& s, Findings& findings);
void checkStructure(const LoadedScript& s, Findings& findings);
void checkJumps(Engine& e, const LoadedScript& s, Findings& findings);
void checkCommandWords(const LoadedScript& s, const PluginWords& plugins, Findings& findings);

// The argument pieces of a line as written (split at ",", blanks trimmed).
std::vector<std::string_view> argumentPieces(const ProgramLine& line);
// The text of a piece that is a string literal and nothing else; empty
// optional for any other expression.
std::optional<std::string> literalText(Engine& e, std::string_view piece);

}  // namespace qf
