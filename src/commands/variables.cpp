// Arrays, enumerations and the variable operations.
#include <algorithm>
#include <string>
#include <vector>

#include "commands/args.h"
#include "commands/registry.h"
#include "script/text.h"

namespace qf {

namespace {

void cmdDim(Engine& e) {
    const std::string base = argName(e, 0);
    long long size1 = argGiven(e, 1) ? argInt(e, 1) : 0;
    long long size2 = argGiven(e, 2) ? argInt(e, 2) : 0;
    long long size3 = argGiven(e, 3) ? argInt(e, 3) : 0;
    if (size1 <= 0) return;
    int initial = argGiven(e, 7) ? argInt(e, 7) : 0;
    int dims = 3;
    if (size3 < 1) {
        --dims;
        size3 = 1;
    }
    if (size2 < 1) {
        --dims;
        size2 = 1;
    }
    long long first1 = argGiven(e, 4) ? argInt(e, 4) : 0, first2 = argGiven(e, 5) ? argInt(e, 5) : 0,
              first3 = argGiven(e, 6) ? argInt(e, 6) : 0;
    // The table holds 1536 variables: stop once it is full rather than loop on.
    for (long long i = first1; i < first1 + size1; ++i)
        for (long long j = first2; j < first2 + size2; ++j)
            for (long long k = first3; k < first3 + size3; ++k) {
                std::string target = dims == 1 ? elementName(base, i) : dims == 2 ? elementName(base, i, j) : elementName(base, i, j, k);
                if (!setVariableInt(e, target, initial)) return;
            }
}

void cmdDimMap(Engine& e) {
    const std::string base = argName(e, 0);
    const bool twoDimensional = argInt(e, 1) == 1;
    int& line = e.interp.s.currentLine;
    const int last = e.program.lineCount() - 1;
    long long row = 0, n = 0;
    ++line;
    while (line <= last && e.program.lines[static_cast<size_t>(line)].command == CMD_EXPRESSION) {
        std::string text = e.program.lines[static_cast<size_t>(line)].args;
        if (!text.empty() && text.back() == ',') text.pop_back();
        long long col = 0;
        size_t start = 0;
        while (true) {
            size_t comma = text.find(',', start);
            std::string piece = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            if (piece.find_first_not_of(" \t") != std::string::npos) {
                variant value = evaluateExpression(e, piece, 0);
                setVariable(e, twoDimensional ? elementName(base, row, col) : elementName(base, n), value);
                ++n;
            }
            ++col;
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        ++line;
        ++row;
    }
    // The current line stays on the first line after the data, so that line
    // is passed over: the interpreter moves on by one before each line. Data
    // that reaches the end of the program leaves it on the last line, which
    // the interpreter then treats as the end of the program.
    if (line > last) line = last;
}

void cmdEnum(Engine& e) {
    int counter = 0;
    int& line = e.interp.s.currentLine;
    const int last = e.program.lineCount() - 1;
    while (line + 1 <= last && e.program.lines[static_cast<size_t>(line + 1)].command <= CMD_LABEL) {
        ++line;
        const ProgramLine& l = e.program.lines[static_cast<size_t>(line)];
        // A label line contributes the names written after its label.
        const std::string& text = l.args;
        std::vector<std::string> pieces = splitAny(text, " \t=,");
        if (pieces.size() == 1) {
            setVariableInt(e, pieces[0], counter++);
        } else if (pieces.size() > 1) {
            counter = truncInt((evaluateExpression(e, text, 0)).num()) + 1;
        }
    }
}

void cmdValClearCommand(Engine& e) { cmdValClear(e.vars); }
void cmdValSortCommand(Engine& e) { cmdValSort(e.vars); }
void cmdValLimitCommand(Engine& e) {
    cmdValLimit(e.vars, argName(e, 0), e.interp.args[1], e.interp.args[2], e.interp.args[3]);
}
void cmdValHookCommand(Engine& e) { cmdValHook(e.vars, e.interp.args[0]); }

}  // namespace

const CommandFamily kVariableCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#dim", cmdDim},
        {"#dimMap", cmdDimMap},
        {"#enum", cmdEnum},
        {"#valClear", cmdValClearCommand},
        {"#valSort", cmdValSortCommand},
        {"#valLimit", cmdValLimitCommand},
        {"#valHook", cmdValHookCommand},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
