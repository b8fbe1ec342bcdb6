// The program the loader builds and the interpreter runs: the flat array of
// program lines and the label, if, switch and loop tables.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "script/rpn.h"

namespace qf {

constexpr int kPieceCount = 8;

struct Piece {
    bool present = false;
    RpnExpr expr;  // the piece converted to postfix form; an empty postfix for an empty piece
    const std::string& postfix() const { return expr.postfix; }
};

struct ProgramLine {
    int command = 0;      // 0..250 command index, 256 + k plug-in command k
    int sourceLine = 0;   // physical line in its file, from 0
    std::string args;     // text after the command word (at most 255 bytes, cut at "//")
    std::array<Piece, kPieceCount> pieces;
};

struct LabelEntry {
    std::string name;  // with its leading "*"
    int line = 0;
    int sourceLine = 0;
};

enum IfKind { IF_IF = 0, IF_ENDIF = 1, IF_ELSE = 2, IF_ELSEIF = 3 };
struct IfEntry {
    int kind = 0;
    int line = 0;
    int sourceLine = 0;
};

enum SwitchKind { SW_SWITCH = 0, SW_SWEND = 1, SW_CASE = 2, SW_DEFAULT = 3 };
struct SwitchEntry {
    int line = 0;
    int kind = 0;
    std::string value;
};

enum LoopKind { LOOP_REPEAT = 0, LOOP_LOOP = 1, LOOP_CONTINUE = 2, LOOP_BREAK = 3, LOOP_FOR = 4, LOOP_NEXT = 5 };
struct LoopEntry {
    int line = 0;
    int kind = 0;
};

struct IncludeEntry {
    std::string name;
    int line = 0;  // line index of its "#include" within the naming file
};

struct Program {
    static constexpr int kLabelCapacity = 416;
    static constexpr int kIfCapacity = 560;
    static constexpr int kSwitchCapacity = 256;
    static constexpr int kLoopCapacity = 256;
    static constexpr int kIncludeCapacity = 16;
    static constexpr int kPluginNameCapacity = 64;
    static constexpr int kForPairCapacity = 16;
    static constexpr int kBlockCapacity = 256;

    std::vector<ProgramLine> lines;
    std::vector<LabelEntry> labels;
    std::vector<IfEntry> ifs;
    std::vector<SwitchEntry> switches;
    std::vector<LoopEntry> loops;
    std::vector<IncludeEntry> includes;
    std::string mainScript;
    // Not reset between loads.
    std::vector<std::string> pluginNames;
    std::vector<int> blockStack;  // 0 if, 1 switch, 2 repeat, 3 for
    struct ForPair {
        Piece condition, step;
    };
    std::vector<ForPair> forPairs;

    int lineCount() const { return static_cast<int>(lines.size()); }
    // Index of the first label with exactly this name, or -1.
    int findLabel(const std::string& name) const {
        for (size_t i = 0; i < labels.size(); ++i)
            if (labels[i].name == name) return static_cast<int>(i);
        return -1;
    }
};

}  // namespace qf
