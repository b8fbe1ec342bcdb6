// The interpreter: runs program lines each frame as the update of "WND_DRV".
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "script/program.h"
#include "script/variant.h"

namespace qf {

struct Engine;

constexpr int kCallDepth = 32;
constexpr int kLoopDepth = 32;

struct LoopFrame {
    int line = 0;
    int count = 0;
};

struct InterpreterState {
    int currentLine = -1;
    int lineCount = 0;
    int callDepth = 0;
    int loopDepth = 0;
    std::array<int, kCallDepth> callStack{};
    std::array<LoopFrame, kLoopDepth> loopStack{};
    std::array<int, kCallDepth> loopsPerLevel{};
};

struct Interpreter {
    InterpreterState s;
    int ready = 0;
    int yield = 0;
    int runMode = 0;
    int watchdogLimit = 100000;
    int keyWait = 0;
    int keyJump = 0;
    std::string keyGotoLabel, keyGosubLabel;
    int loopCounter = 0;
    variant returnLabel;  // an integer until "#returnSet" names a label
    std::string currentScript, previousScript;
    InterpreterState saved;
    bool haveSaved = false;

    // The evaluated arguments of the current line and the names they designate.
    variant args[kPieceCount];
    variant argNames[kPieceCount];

    // Indices resolved at start.
    int cmdIf = -1, cmdElseif = -1, cmdFor = -1, cmdNext = -1, cmdGosub = -1;

    // Lines run since start (for the benchmarks and the debug panel).
    uint64_t linesRun = 0;
};

void scriptStart(Engine& e);
void scriptStep(Engine& e);
void scriptReset(Engine& e);
int scriptOpen(Engine& e, const std::string& file);
void scriptStop(Engine& e);
void scriptGoto(Engine& e, const std::string& label);
void scriptJump(Engine& e, const std::string& label);
void scriptGosub(Engine& e, const std::string& label);
void scriptReturn(Engine& e);
// Evaluates the pieces of line `index` into the argument blocks.
void evaluateArguments(Engine& e, int index);

// Argument helpers for handlers.
int argInt(Engine& e, int slot);
std::string argText(Engine& e, int slot);
bool argGiven(Engine& e, int slot);
// Keep-style arguments: the field takes the argument only when it was given.
inline void keepArg(Engine& e, int slot, int& field) {
    if (argGiven(e, slot)) field = argInt(e, slot);
}

}  // namespace qf
