#include "script/loader.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/report.h"
#include "platform/sjis.h"
#include "script/command_table.h"
#include "script/program.h"
#include "script/rpn.h"

namespace qf {

namespace {

constexpr size_t kArgumentLimit = 255;
constexpr size_t kWordLimit = 127;

bool isBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Lines cut at carriage returns; runs of them count as one and no line is empty.
std::vector<std::string_view> cutLines(std::string_view buffer) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < buffer.size()) {
        while (i < buffer.size() && buffer[i] == '\r') ++i;
        if (i >= buffer.size()) break;
        size_t start = i;
        while (i < buffer.size() && buffer[i] != '\r') ++i;
        out.push_back(buffer.substr(start, i - start));
    }
    return out;
}

std::string_view skipBlanks(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && isBlank(static_cast<unsigned char>(s[i]))) ++i;
    return s.substr(i);
}

// First word: bytes above 32, at most `limit` bytes.
std::string_view firstWord(std::string_view s, size_t limit) {
    size_t i = 0;
    while (i < s.size() && static_cast<unsigned char>(s[i]) > 32 && i < limit) ++i;
    return s.substr(0, i);
}

std::string_view cutAtLineEnd(std::string_view s) {
    size_t end = 0;
    while (end < s.size() && s[end] != '\r' && s[end] != '\n') ++end;
    return s.substr(0, end);
}

std::string limited(std::string_view s) { return std::string(s.substr(0, std::min(s.size(), kArgumentLimit))); }

// The physical line (bounded by LF or CR on both sides) that holds `pos`.
std::string_view lineAround(std::string_view buffer, size_t pos) {
    size_t start = pos;
    while (start > 0 && buffer[start - 1] != '\n' && buffer[start - 1] != '\r') --start;
    size_t end = pos;
    while (end < buffer.size() && buffer[end] != '\n' && buffer[end] != '\r') ++end;
    return buffer.substr(start, end - start);
}

long long countLineFeeds(std::string_view s) { return std::count(s.begin(), s.end(), '\n'); }

// The number of lines cutLines gives: each can become at most one program line.
long long countCutLines(std::string_view s) {
    long long n = 0;
    for (size_t i = 0; i < s.size(); ++i)
        if (s[i] != '\r' && (i == 0 || s[i - 1] == '\r')) ++n;
    return n;
}

struct Loader {
    Program& p;
    Rpn& rpn;
    Host& host;
    const ScriptSource& source;
    bool quitAsked = false;

    std::string evaluateText(std::string_view infix) {
        std::string text(infix);
        return valueText(rpn.rpnFirst(text.c_str(), -1, 0));
    }

    void includeScan(const std::string& buffer) {
        size_t offset = 0;
        while (true) {
            size_t at = buffer.find("#include", offset);
            if (at == std::string::npos) return;
            offset = at + 1;
            std::string_view line = lineAround(buffer, at);
            if (line.size() < 2 || (line[0] == '/' && line[1] == '/')) continue;
            std::string_view rest = std::string_view(buffer).substr(at + 8);
            size_t i = 0;
            while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
            size_t start = i;
            while (i < rest.size() && static_cast<unsigned char>(rest[i]) > 32 && i - start < kWordLimit) ++i;
            std::string word(rest.substr(start, i - start));
            std::string name = evaluateText(word);
            if (name == p.mainScript) continue;
            if (std::any_of(p.includes.begin(), p.includes.end(), [&](const IncludeEntry& inc) { return inc.name == name; })) continue;
            if (static_cast<int>(p.includes.size()) >= Program::kIncludeCapacity) continue;
            p.includes.push_back({name, static_cast<int>(countLineFeeds(std::string_view(buffer).substr(0, at)))});
            std::string nested;
            if (source.read(name, nested)) includeScan(nested);
        }
    }

    void infoSections(const std::string& buffer) {
        auto sectionLine = [&](const char* directive, std::string_view& rest) {
            size_t at = buffer.find(directive);
            if (at == std::string::npos) return false;
            std::string_view line = lineAround(buffer, at);
            if (line.size() < 2 || (line[0] == '/' && line[1] == '/')) return false;
            rest = cutAtLineEnd(std::string_view(buffer).substr(at + std::strlen(directive)));
            rest = rest.substr(0, std::min(rest.size(), kArgumentLimit));
            return true;
        };
        std::string_view rest;
        if (sectionLine("#infoInput", rest)) {
            static constexpr int kOffsets[6] = {8, 72, 96, 106, 116, 124};
            static constexpr int kWidths[6] = {64, 24, 10, 10, 8, 4};
            if (!source.gameInfo) return;
            uint8_t info[kGameInfoSize] = {};
            std::vector<std::string_view> pieces;
            size_t start = 0;
            while (pieces.size() < 8) {
                size_t comma = rest.find(',', start);
                pieces.push_back(rest.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
                if (comma == std::string_view::npos) break;
                start = comma + 1;
            }
            for (size_t k = 0; k < 6 && k < pieces.size(); ++k) {
                std::string text = evaluateText(pieces[k]);
                std::memcpy(info + kOffsets[k], text.data(), std::min<size_t>(text.size(), static_cast<size_t>(kWidths[k])));
            }
            // The tag keeps what an earlier section put there.
            std::memcpy(info + 128, source.gameInfo + 128, 128);
            std::memcpy(source.gameInfo, info, sizeof info);
        }
        if (sectionLine("#infoTag", rest) && source.gameInfo) {
            std::string text = evaluateText(rest);
            std::memset(source.gameInfo + 128, 0, 128);
            std::memcpy(source.gameInfo + 128, text.data(), std::min<size_t>(text.size(), 128));
        }
    }

    void addLine(int command, int sourceLine, std::string args) {
        ProgramLine line;
        line.command = command;
        line.sourceLine = sourceLine;
        line.args = std::move(args);
        p.lines.push_back(std::move(line));
    }

    void pushBlock(int kind) {
        append(p.blockStack, Program::kBlockCapacity, kind);
    }
    void popBlock() {
        if (!p.blockStack.empty()) p.blockStack.pop_back();
    }

    void commandLine(std::string_view text, int sourceLine, bool& messageFlag) {
        int lineIndex = p.lineCount();
        if (text.size() >= 2 && text[1] == '*') {
            // "#*label args" calls the label as "#gosub" would.
            std::string_view afterHash = text.substr(1);
            std::string_view label = firstWord(afterHash, kWordLimit);
            std::string_view rest = skipBlanks(afterHash.substr(label.size()));
            std::string args(label);
            args += ',';
            args += cutAtLineEnd(rest);
            addLine(findCommand("#gosub"), sourceLine, limited(args));
            return;
        }
        std::string rewritten;
        if (text.size() >= 2 && text[1] == '/') {
            if (source.romMode && *source.romMode == 2) return;
            rewritten = "#";
            rewritten += text.substr(2);
            text = rewritten;
        }
        std::string word(firstWord(text, kWordLimit));
        std::string_view rest = cutAtLineEnd(skipBlanks(text.substr(std::min(text.size(), firstWord(text, kWordLimit).size()))));
        if (word == "#}" && !p.blockStack.empty()) {
            static const char* const kClosers[4] = {"#endif", "#swend", "#loop", "#next"};
            int kind = p.blockStack.back();
            if (kind >= 0 && kind < 4) word = kClosers[kind];
        }
        auto ifEntry = [&](int kind) {
            appendReporting(p.ifs, Program::kIfCapacity, IfEntry{kind, lineIndex, sourceLine}, "#ifテーブルの最大数に達しました",
                            ifFullReported_);
        };
        auto loopEntry = [&](int kind) {
            append(p.loops, Program::kLoopCapacity, LoopEntry{lineIndex, kind});
        };
        if (word == "#if") {
            ifEntry(IF_IF);
            pushBlock(0);
        } else if (word == "#endif") {
            ifEntry(IF_ENDIF);
            popBlock();
        } else if (word == "#else") {
            ifEntry(IF_ELSE);
        } else if (word == "#elseif") {
            ifEntry(IF_ELSEIF);
        } else if (word == "#switch") {
            appendReporting(p.switches, Program::kSwitchCapacity,
                            SwitchEntry{lineIndex, SW_SWITCH, std::string(firstWord(rest, kWordLimit))},
                            "#switchテーブルの最大数に達しました", switchFullReported_);
            pushBlock(1);
        } else if (word == "#swend") {
            append(p.switches, Program::kSwitchCapacity, SwitchEntry{lineIndex, SW_SWEND, "#swend"});
            popBlock();
        } else if (word == "#repeat") {
            loopEntry(LOOP_REPEAT);
            pushBlock(2);
        } else if (word == "#loop") {
            loopEntry(LOOP_LOOP);
            popBlock();
        } else if (word == "#continue") {
            loopEntry(LOOP_CONTINUE);
        } else if (word == "#break") {
            loopEntry(LOOP_BREAK);
        } else if (word == "#for") {
            loopEntry(LOOP_FOR);
            pushBlock(3);
        } else if (word == "#next") {
            loopEntry(LOOP_NEXT);
            popBlock();
        } else if (word == "#msg") {
            messageFlag = true;
        }
        int index = findCommand(word);
        if (index >= 0) {
            addLine(index, sourceLine, limited(rest));
            return;
        }
        auto it = std::find(p.pluginNames.begin(), p.pluginNames.end(), word);
        int k = static_cast<int>(it - p.pluginNames.begin());
        if (it == p.pluginNames.end()) {
            if (static_cast<int>(p.pluginNames.size()) >= Program::kPluginNameCapacity) {
                // No room for another plug-in word: the line does nothing.
                if (!pluginFullReported_) {
                    dialog(host, sj("プラグイン命令の種類は64個までです：") + word);
                    pluginFullReported_ = true;
                }
                addLine(findCommand("#}"), sourceLine, "");
                return;
            }
            p.pluginNames.push_back(word);
        }
        addLine(kPluginCommandBase + k, sourceLine, "");
    }

    void parse(const std::string& buffer) {
        bool messageFlag = false;
        bool blockComment = false;
        int physical = -1;
        for (std::string_view raw : cutLines(buffer)) {
            ++physical;
            std::string_view text = skipBlanks(raw);
            if (text.size() >= 2 && text[0] == '/' && text[1] == '/') continue;
            if (blockComment) {
                size_t close = text.find("*/");
                if (close == std::string_view::npos) continue;
                blockComment = false;
                text = skipBlanks(text.substr(close + 2));
            }
            size_t open = text.find("/*");
            if (open == 0) {
                blockComment = true;
                continue;
            }
            if (open != std::string_view::npos) {
                blockComment = true;
                text = text.substr(0, open);
            }
            if (text.empty()) {
                if (messageFlag) {
                    addLine(CMD_MESSAGE_END, physical, "");
                    messageFlag = false;
                }
                continue;
            }
            switch (text[0]) {
                case '#':
                    commandLine(text, physical, messageFlag);
                    break;
                case '*': {
                    std::string_view name = firstWord(text, kArgumentLimit);
                    appendReporting(p.labels, Program::kLabelCapacity, LabelEntry{std::string(name), p.lineCount(), physical},
                                    "*ジャンプラベルの最大数に達しました", labelFullReported_);
                    addLine(CMD_LABEL, physical, limited(cutAtLineEnd(skipBlanks(text.substr(name.size())))));
                    break;
                }
                case '@': {
                    std::string_view first = firstWord(text, kWordLimit);
                    std::string value(firstWord(skipBlanks(text.substr(first.size())), kWordLimit));
                    int kind = text.size() >= 2 && text[1] == 'd' ? SW_DEFAULT : SW_CASE;
                    append(p.switches, Program::kSwitchCapacity, SwitchEntry{p.lineCount(), kind, value});
                    addLine(CMD_CASE, physical, value);
                    break;
                }
                case '/':
                    break;
                default:
                    addLine(CMD_EXPRESSION, physical, limited(cutAtLineEnd(text)));
                    break;
            }
        }
    }

    void postPasses(size_t firstNewLine) {
        for (size_t n = firstNewLine; n < p.lines.size(); ++n) {
            std::string& args = p.lines[n].args;
            size_t cut = args.find("//");
            if (cut != std::string::npos) args.resize(cut);
        }
        // Every label is checked against every other one, after each file: a name
        // held k times is reported k - 1 times for each of its entries, in table order.
        std::unordered_map<std::string_view, int> held;
        for (const LabelEntry& label : p.labels) ++held[label.name];
        bool duplicates = false;
        for (const LabelEntry& label : p.labels)
            for (int k = held[label.name]; k > 1; --k) {
                dialog(host, label.name, sj("！エラー：ラベル重複"));
                duplicates = true;
            }
        if (duplicates) quitAsked = true;
        // Pieces are converted once, for the lines this file added.
        const int forIndex = findCommand("#for"), nextIndex = findCommand("#next");
        for (size_t n = firstNewLine; n < p.lines.size(); ++n) {
            ProgramLine& line = p.lines[n];
            if (line.command == 0) continue;
            splitPieces(line);
            if (line.command == forIndex) {
                append(p.forPairs, Program::kForPairCapacity, Program::ForPair{line.pieces[1], line.pieces[2]});
                line.pieces.set(2, Piece{true, {}});
            } else if (line.command == nextIndex && !p.forPairs.empty()) {
                line.pieces.set(0, p.forPairs.back().step);
                line.pieces.set(1, p.forPairs.back().condition);
                p.forPairs.pop_back();
            }
        }
    }

    void splitPieces(ProgramLine& line) {
        std::string_view text = line.args;
        line.pieces.clear();
        if (text.empty()) return;
        const size_t count = std::min<size_t>(static_cast<size_t>(std::count(text.begin(), text.end(), ',')) + 1, kPieceCount);
        line.pieces.reserve(count);
        size_t start = 0;
        for (size_t slot = 0; slot < count; ++slot) {
            size_t comma = text.find(',', start);
            std::string_view piece = text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
            pieceText.assign(piece);
            rpn.rpnConvText(pieceText.c_str());
            line.pieces.set(slot, Piece::ofText(true, rpn.postfix()));
            if (comma == std::string_view::npos) break;
            start = comma + 1;
        }
    }

    std::string pieceText{};  // the piece being converted
    bool ifFullReported_ = false, switchFullReported_ = false, labelFullReported_ = false;
    bool pluginFullReported_ = false;

    // Entries beyond a table's capacity are dropped.
    template <class T>
    static void append(std::vector<T>& table, int capacity, T entry) {
        if (static_cast<int>(table.size()) < capacity) table.push_back(std::move(entry));
    }
    // The same, and the first time the table is (then) full the message is shown.
    template <class T>
    void appendReporting(std::vector<T>& table, int capacity, T entry, const char* utf8Message, bool& reported) {
        append(table, capacity, std::move(entry));
        if (static_cast<int>(table.size()) >= capacity && !reported) {
            dialog(host, sj(utf8Message));
            reported = true;
        }
    }
};

}  // namespace

void scriptRelease(Program& p) {
    p.lines.clear();
    p.lines.shrink_to_fit();
}

LoadResult scriptLoad(Program& p, Rpn& rpn, Host& host, const ScriptSource& source, const std::string& fileName) {
    LoadResult result;
    p.mainScript = fileName;
    std::string buffer;
    if (!source.read(fileName, buffer) || buffer.empty()) return result;
    Loader loader{p, rpn, host, source};
    long long capacity = countCutLines(buffer);
    loader.includeScan(buffer);
    std::vector<std::string> includeTexts(p.includes.size());
    for (size_t i = 0; i < p.includes.size(); ++i) {
        if (source.read(p.includes[i].name, includeTexts[i])) capacity += countCutLines(includeTexts[i]);
        else if (source.missingInclude) source.missingInclude(p.includes[i].name);
    }
    loader.infoSections(buffer);
    scriptRelease(p);
    p.lines.reserve(static_cast<size_t>(capacity));
    loader.parse(buffer);
    loader.postPasses(0);
    for (const std::string& text : includeTexts) {
        if (text.empty()) continue;
        size_t first = p.lines.size();
        loader.parse(text);
        loader.postPasses(first);
    }
    p.index();
    result.loaded = 1;
    // A stray byte far into an expression asks the program to quit.
    result.quitAsked = loader.quitAsked || rpn.quitRequested();
    return result;
}

}  // namespace qf
