// The interpreter: runs program lines each frame as the update of "WND_DRV".
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <functional>

#include "script/command_table.h"
#include "script/frame_timers.h"
#include "script/line_forms.h"
#include "script/loader.h"
#include "script/program.h"
#include "script/variant.h"

namespace qf {

class Host;
class Rpn;
class Variables;

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

// What the interpreter asks of the rest of the engine.
struct InterpreterHooks {
    // "WND_DRV" to the front (true) or the back of the window table.
    std::function<void(bool front)> setActive;
    // The press pulses of the current pad, and whether any of its buttons is held.
    std::function<int()> pressedKeys;
    std::function<bool()> anyKeyHeld;
    // An archive failed its check: the program ends after the step.
    std::function<bool()> archiveFailed;
    // "#quit": the program ends after the frame.
    std::function<void()> requestQuit;
    // The message loop ends after the current frame (the loader's duplicate labels).
    std::function<void()> postQuit;
    // A message shown in the message window.
    std::function<void(const std::string&)> systemMessage;
    // Plug-in command k of the program's plug-in words.
    std::function<void(int k)> pluginCommand;
};

class Interpreter {
public:
    Interpreter(Program& program, Variables& vars, Rpn& rpn, Host& host, FrameTimers& timers);
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    Program& program;
    Variables& vars;
    Rpn& rpn;
    Host& host;
    FrameTimers& timers;
    InterpreterHooks hooks;
    ScriptSource source;

    // The handler of each command index, and the engine handlers receive.
    std::array<CommandHandler, kCommandCount> handlers{};
    Engine* owner = nullptr;

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

    void start();
    // Runs lines until the frame ends (the update of "WND_DRV").
    void step();
    void reset();
    // Loads a script in place of the program; 0 (and stopped) when it cannot be loaded.
    int open(const std::string& file);
    void stop();
    void gotoLabel(const std::string& label);
    void jumpLabel(const std::string& label);
    void gosubLabel(const std::string& label);
    void returnFromCall();
    // While the if table is indexed: the entry from the first one after the current
    // line at which a depth-0 scan stops, at any branch entry ("#elseif", "#else",
    // "#endif") or at an "#endif" only (Program::ifBranchFrom, ifEndFrom), or -1.
    int ifBranchEntry() { return ifEntry(&ReadyLine::ifBranch, program.ifBranchFrom); }
    int ifEndEntry() { return ifEntry(&ReadyLine::ifEnd, program.ifEndFrom); }
    // Evaluates the pieces of line `index` into the argument blocks.
    void evaluateArguments(int index) { evaluateArguments(lineForms.get(program, index, cmdIf, cmdElseif)); }

private:
    void evaluateArguments(const ReadyLine& line);
    int ifEntry(int32_t ReadyLine::*answer, const std::vector<int>& table);
    LineForms lineForms;
    ReadyLine* m_running = nullptr;  // the ready form of the line whose command runs
    // args[k] is absent (kNil) for every k from here on.
    int m_absentFrom = kPieceCount;
    bool archiveFailed() const;
    bool anyKeyHeld() const;
};

}  // namespace qf
