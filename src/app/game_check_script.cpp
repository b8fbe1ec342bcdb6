#include "app/game_check_script.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "app/engine.h"
#include "commands/args.h"
#include "platform/sjis.h"
#include "res/disk_path.h"
#include "script/command_table.h"
#include "script/loader.h"

namespace qf {

namespace {

constexpr size_t kArgumentLimit = 255;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view firstWord(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && static_cast<unsigned char>(s[i]) > 32) ++i;
    return s.substr(0, i);
}

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string hexByte(unsigned char c) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", c);
    return text;
}

// Reads scripts through the engine and keeps each text it gave out.
struct CachingReader {
    Engine& e;
    std::map<std::string, std::string> texts;
    bool read(const std::string& name, std::string& out) {
        auto it = texts.find(name);
        if (it == texts.end()) {
            std::string text;
            if (!readScript(e, name, text)) return false;
            it = texts.emplace(name, std::move(text)).first;
        }
        out = it->second;
        return true;
    }
};

}  // namespace

void ScriptFile::index() {
    starts_.clear();
    ends_.clear();
    lineFeeds_.clear();
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == '\r') ++i;
        if (i >= text.size()) break;
        size_t start = i;
        while (i < text.size() && text[i] != '\r') ++i;
        starts_.push_back(start);
        ends_.push_back(i);
    }
    for (size_t k = 0; k < text.size(); ++k)
        if (text[k] == '\n') lineFeeds_.push_back(k);
}

std::string_view ScriptFile::physicalLine(int physical) const {
    if (physical < 0 || physical >= static_cast<int>(starts_.size())) return {};
    return std::string_view(text).substr(starts_[physical], ends_[physical] - starts_[physical]);
}

int ScriptFile::editorLine(int physical) const {
    if (physical < 0 || physical >= static_cast<int>(starts_.size())) return 1;
    // The first byte that is not blank; for a blank line, its end.
    size_t pos = starts_[physical];
    const size_t end = ends_[physical];
    while (pos < end && isBlank(text[pos])) ++pos;
    return static_cast<int>(std::lower_bound(lineFeeds_.begin(), lineFeeds_.end(), pos) - lineFeeds_.begin()) + 1;
}

const ScriptFile& LoadedScript::fileOf(int line) const {
    for (const ScriptFile& f : files)
        if (line >= f.firstLine && line < f.firstLine + f.lineCount) return f;
    return files.front();
}

int LoadedScript::editorLineOf(int line) const {
    return fileOf(line).editorLine(program.lines[static_cast<size_t>(line)].sourceLine);
}

std::string_view LoadedScript::sourceOf(int line) const {
    std::string_view text = fileOf(line).physicalLine(program.lines[static_cast<size_t>(line)].sourceLine);
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    size_t end = text.find_first_of("\r\n");
    return end == std::string_view::npos ? text : text.substr(0, end);
}

bool loadScriptForCheck(Engine& e, const std::string& name, LoadedScript& out) {
    CachingReader reader{e, {}};
    ScriptSource source;
    source.read = [&](const std::string& n, std::string& text) { return reader.read(n, text); };
    source.missingInclude = [&](const std::string& n) { out.missingIncludes.push_back(n); };
    source.romMode = &e.files.m_nRomMode;
    if (!scriptLoad(out.program, e.rpn, e.host, source, name).loaded) return false;

    // The program holds the script's lines, then each include's. An include
    // loaded on its own gives the number of lines it adds.
    ScriptFile main;
    main.name = name;
    reader.read(name, main.text);
    out.files.push_back(std::move(main));
    int includedLines = 0;
    for (const IncludeEntry& inc : out.program.includes) {
        ScriptFile f;
        f.name = inc.name;
        if (!reader.read(inc.name, f.text) || f.text.empty()) continue;
        Program alone;
        ScriptSource only;
        only.read = [&](const std::string& n, std::string& text) {
            if (n != inc.name) return false;
            text = f.text;
            return true;
        };
        only.romMode = &e.files.m_nRomMode;
        scriptLoad(alone, e.rpn, e.host, only, inc.name);
        f.lineCount = alone.lineCount();
        includedLines += f.lineCount;
        out.files.push_back(std::move(f));
    }
    out.files.front().lineCount = out.program.lineCount() - includedLines;
    int next = 0;
    for (ScriptFile& f : out.files) {
        f.firstLine = next;
        next += f.lineCount;
        f.index();
    }
    return true;
}

std::vector<std::string_view> argumentPieces(const ProgramLine& line) {
    std::vector<std::string_view> pieces;
    std::string_view text = line.args;
    if (text.empty()) return pieces;
    size_t start = 0;
    while (pieces.size() < kPieceCount) {
        size_t comma = text.find(',', start);
        pieces.push_back(
            trimmed(text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start)));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return pieces;
}

std::optional<std::string> literalText(Engine& e, std::string_view piece) {
    piece = trimmed(piece);
    if (piece.size() < 2 || piece.front() != '"') return std::nullopt;
    size_t close = piece.find('"', 1);
    if (close != piece.size() - 1) return std::nullopt;
    return valueText(e.rpn.rpnFirst(std::string(piece).c_str()));
}

void checkScriptText(const LoadedScript& s, Findings& findings) {
    for (const ScriptFile& f : s.files) {
        if (f.text.size() >= 3 && f.text.compare(0, 3, "\xEF\xBB\xBF") == 0)
            findings.error(f.name, 1, "the file starts with a UTF-8 byte order mark: scripts are Shift-JIS text");
        if (f.text.find('\r') == std::string::npos && std::count(f.text.begin(), f.text.end(), '\n') > 1)
            findings.error(f.name, 1,
                           "lines end in LF only: the engine needs CR LF and reads this file as a single line");
    }
    const int count = s.program.lineCount();
    for (int i = 0; i < count; ++i) {
        const ProgramLine& line = s.program.lines[static_cast<size_t>(i)];
        const std::string_view source = s.sourceOf(i);
        const ScriptFile& file = s.fileOf(i);
        const int at = file.editorLine(line.sourceLine);
        // Bytes that are no Shift-JIS character (a trailing comment is not looked at).
        std::string_view text = source.substr(0, std::min(source.size(), source.find("//")));
        for (size_t k = 0; k < text.size(); ++k) {
            const unsigned char c = static_cast<unsigned char>(text[k]);
            if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) continue;
            if (isCp932LeadByte(c) && k + 1 < text.size() &&
                isCp932TrailByte(static_cast<unsigned char>(text[k + 1]))) {
                ++k;
                continue;
            }
            findings.error(file.name, at,
                           "byte " + hexByte(c) + " at column " + std::to_string(k + 1) + " is not valid Shift-JIS");
            break;
        }
        // Argument texts are kept up to 255 bytes.
        if (line.args.size() >= kArgumentLimit) {
            size_t pos = source.find(line.args);
            if (pos != std::string_view::npos) {
                std::string_view rest = trimmed(source.substr(pos + line.args.size()));
                if (!rest.empty() && rest.rfind("//", 0) != 0 && rest.rfind("/*", 0) != 0)
                    findings.error(file.name, at,
                                   "line too long: the engine keeps 255 bytes of its text and drops the rest");
            }
        }
    }
}

namespace {

enum BlockKind { kIf = 0, kSwitch = 1, kRepeat = 2, kFor = 3 };
const char* const kOpeners[4] = {"#if", "#switch", "#repeat", "#for"};
const char* const kClosers[4] = {"#endif", "#swend", "#loop", "#next"};

struct OpenBlock {
    int kind;
    int line;  // program line
};

struct StructureWalk {
    const LoadedScript& s;
    Findings& findings;
    std::vector<OpenBlock> open;
    int forDepth = 0;

    void report(int line, const std::string& message, Severity severity = Severity::Error) {
        findings.add(s.fileOf(line).name, s.editorLineOf(line), severity, message);
    }
    std::string where(int line) const { return "line " + std::to_string(s.editorLineOf(line)); }

    bool anyOpen(int kind) const {
        return std::any_of(open.begin(), open.end(), [&](const OpenBlock& b) { return b.kind == kind; });
    }

    void push(int kind, int line) {
        if (static_cast<int>(open.size()) >= Program::kBlockCapacity)
            report(line, "blocks nested too deep: at most " + std::to_string(Program::kBlockCapacity) + " may be open");
        open.push_back({kind, line});
        if (kind == kFor && ++forDepth > Program::kForPairCapacity)
            report(line,
                   "#for loops nested too deep: at most " + std::to_string(Program::kForPairCapacity) + " may be open");
    }

    void close(int kind, int line) {
        const std::string closer = kClosers[kind];
        if (!open.empty() && open.back().kind == kind) {
            pop();
            return;
        }
        if (!anyOpen(kind)) {
            report(line, closer + " without " + kOpeners[kind]);
            return;
        }
        const OpenBlock inner = open.back();
        report(line, closer + " crosses the " + kOpeners[inner.kind] + " block opened at " + where(inner.line) +
                         " (close it first)");
        for (size_t k = open.size(); k-- > 0;)
            if (open[k].kind == kind) {
                if (kind == kFor) --forDepth;
                open.erase(open.begin() + static_cast<long>(k));
                break;
            }
    }

    void pop() {
        if (open.back().kind == kFor) --forDepth;
        open.pop_back();
    }

    void inside(int kind, int line, const char* word) {
        if (!open.empty() && open.back().kind == kind) return;
        if (!anyOpen(kind))
            report(line, std::string(word) + " outside any " + kOpeners[kind] + " block");
        else
            report(line, std::string(word) + " inside the " + kOpeners[open.back().kind] + " block opened at " +
                             where(open.back().line) + ", not directly in its " + kOpeners[kind]);
    }

    void endOfFile() {
        for (const OpenBlock& b : open)
            report(b.line, std::string(kOpeners[b.kind]) + " is never closed with " + kClosers[b.kind]);
        open.clear();
        forDepth = 0;
    }
};

}  // namespace

void checkStructure(const LoadedScript& s, Findings& findings) {
    const Program& p = s.program;
    StructureWalk walk{s, findings, {}, 0};
    const int cIf = findCommand("#if"), cElseif = findCommand("#elseif"), cElse = findCommand("#else"),
              cEndif = findCommand("#endif"), cSwitch = findCommand("#switch"), cSwend = findCommand("#swend"),
              cRepeat = findCommand("#repeat"), cLoop = findCommand("#loop"), cFor = findCommand("#for"),
              cNext = findCommand("#next"), cContinue = findCommand("#continue"), cBreak = findCommand("#break"),
              cBrace = findCommand("#}");
    int labels = 0, ifs = 0, switches = 0, loops = 0;
    bool labelsFull = false, ifsFull = false, switchesFull = false, loopsFull = false;
    for (const ScriptFile& f : s.files) {
        for (int i = f.firstLine; i < f.firstLine + f.lineCount; ++i) {
            const int c = p.lines[static_cast<size_t>(i)].command;
            if (c == CMD_LABEL && ++labels >= Program::kLabelCapacity && !labelsFull) {
                labelsFull = true;
                walk.report(i, "label table full: the engine takes at most " +
                                   std::to_string(Program::kLabelCapacity - 1) + " labels without complaint");
            }
            if ((c == cIf || c == cElseif || c == cElse || c == cEndif) && ++ifs >= Program::kIfCapacity && !ifsFull) {
                ifsFull = true;
                walk.report(i, "#if table full: the engine takes at most " + std::to_string(Program::kIfCapacity - 1) +
                                   " #if, #elseif, #else and #endif lines");
            }
            if (c == cSwitch || c == cSwend || c == CMD_CASE) {
                ++switches;
                if (!switchesFull &&
                    (switches > Program::kSwitchCapacity || (c == cSwitch && switches >= Program::kSwitchCapacity))) {
                    switchesFull = true;
                    walk.report(i, "#switch table full: the engine takes at most " +
                                       std::to_string(Program::kSwitchCapacity - 1) +
                                       " #switch, #swend and case lines");
                }
            }
            if ((c == cRepeat || c == cLoop || c == cFor || c == cNext || c == cContinue || c == cBreak) &&
                ++loops > Program::kLoopCapacity && !loopsFull) {
                loopsFull = true;
                walk.report(i, "loop table full: the engine takes at most " + std::to_string(Program::kLoopCapacity) +
                                   " #repeat, #loop, #for, #next, #continue and #break lines");
            }
            if (c == cIf)
                walk.push(kIf, i);
            else if (c == cSwitch)
                walk.push(kSwitch, i);
            else if (c == cRepeat)
                walk.push(kRepeat, i);
            else if (c == cFor)
                walk.push(kFor, i);
            else if (c == cEndif)
                walk.close(kIf, i);
            else if (c == cSwend)
                walk.close(kSwitch, i);
            else if (c == cLoop)
                walk.close(kRepeat, i);
            else if (c == cNext)
                walk.close(kFor, i);
            else if (c == cElse)
                walk.inside(kIf, i, "#else");
            else if (c == cElseif)
                walk.inside(kIf, i, "#elseif");
            else if (c == CMD_CASE)
                walk.inside(kSwitch, i, "case line");
            else if (c == cContinue || c == cBreak) {
                if (!walk.anyOpen(kRepeat) && !walk.anyOpen(kFor))
                    walk.report(i, std::string(c == cContinue ? "#continue" : "#break") + " outside any loop");
            } else if (c == cBrace && s.sourceOf(i).rfind("#}", 0) == 0) {
                walk.report(i, "#} closes no block", Severity::Warning);
            }
        }
        walk.endOfFile();
    }

    // Duplicate labels: the engine shows each pair and quits after loading.
    std::map<std::string, int> first;
    for (const LabelEntry& label : p.labels) {
        auto [it, isNew] = first.emplace(label.name, label.line);
        if (isNew) continue;
        const ScriptFile& firstFile = s.fileOf(it->second);
        std::string at = firstFile.name == s.fileOf(label.line).name
                             ? walk.where(it->second)
                             : sjisToUtf8(firstFile.name) + ":" + std::to_string(s.editorLineOf(it->second));
        walk.report(label.line,
                    "duplicate label " + quoted(label.name) + " (first at " + at + "): the engine stops the game");
    }
}

void checkJumps(Engine& e, const LoadedScript& s, Findings& findings) {
    const Program& p = s.program;
    const int cGoto = findCommand("#goto"), cGosub = findCommand("#gosub"), cJump = findCommand("#jump"),
              cReturnSet = findCommand("#returnSet");
    std::map<std::string, std::string> byLowerName;
    for (const LabelEntry& label : p.labels) byLowerName.emplace(lowered(label.name), label.name);
    for (int i = 0; i < p.lineCount(); ++i) {
        const ProgramLine& line = p.lines[static_cast<size_t>(i)];
        const int c = line.command;
        if (c != cGoto && c != cGosub && c != cJump && c != cReturnSet) continue;
        std::vector<std::string_view> pieces = argumentPieces(line);
        if (pieces.empty() || pieces[0].empty()) continue;
        std::string label;
        if (pieces[0].front() == '*') {
            // A label word alone; an expression that starts with one is not followed.
            if (firstWord(pieces[0]).size() != pieces[0].size()) continue;
            label = std::string(pieces[0]);
        } else if (c != cReturnSet) {
            std::optional<std::string> text = literalText(e, pieces[0]);
            if (!text) continue;
            label = *text;
        } else {
            continue;
        }
        if (p.findLabel(label) >= 0) continue;
        std::string message = std::string(commandName(c)) + " to " + quoted(label) + ": no such label";
        auto near = byLowerName.find(lowered(label));
        if (near != byLowerName.end()) message += " (did you mean " + quoted(near->second) + "?)";
        findings.error(s.fileOf(i).name, s.editorLineOf(i), message);
    }
}

void checkCommandWords(const LoadedScript& s, const PluginWords& plugins, Findings& findings) {
    const Program& p = s.program;
    const int cBrace = findCommand("#}");
    std::map<std::string, const char*> byLowerName;
    for (int k = 5; k < kCommandCount; ++k) byLowerName.emplace(lowered(kCommandNames[k]), kCommandNames[k]);
    for (int i = 0; i < p.lineCount(); ++i) {
        const ProgramLine& line = p.lines[static_cast<size_t>(i)];
        const ScriptFile& file = s.fileOf(i);
        std::string word;
        if (line.command >= kPluginCommandBase) {
            const size_t k = static_cast<size_t>(line.command - kPluginCommandBase);
            if (k >= p.pluginNames.size()) continue;
            word = p.pluginNames[k];
        } else if (line.command == cBrace) {
            // A word that found no room among the plug-in words becomes a line that does nothing.
            std::string source(s.sourceOf(i));
            if (source.rfind("#/", 0) == 0) source.erase(1, 1);
            word = std::string(firstWord(source));
            if (word == "#}") continue;
            findings.error(file.name, file.editorLine(line.sourceLine),
                           "too many different plug-in words (the engine keeps " +
                               std::to_string(Program::kPluginNameCapacity) + "): " + quoted(word) + " does nothing");
            continue;
        } else {
            continue;
        }
        if (plugins.words.count(word)) continue;
        std::string message = quoted(word) + " is no command";
        auto near = byLowerName.find(lowered(word));
        if (near != byLowerName.end()) message += " (did you mean " + quoted(near->second) + "?)";
        if (plugins.complete) {
            findings.error(file.name, file.editorLine(line.sourceLine), message + " and no loaded plug-in provides it");
        } else {
            findings.warning(file.name, file.editorLine(line.sourceLine),
                             message + " and no plug-in inspected here provides it");
        }
    }
}

}  // namespace qf
