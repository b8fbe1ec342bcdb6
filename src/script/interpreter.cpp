#include "script/interpreter.h"

#include <cstdio>

#include "app/engine.h"
#include "app/game.h"
#include "app/report.h"
#include "platform/sjis.h"
#include "script/command_table.h"
#include "script/loader.h"
#include "script/script_services.h"

namespace qf {

namespace {

std::string formatInt(long long n) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%lld", n);
    return buf;
}

}  // namespace

bool argGiven(Engine& e, int slot) { return slot >= 0 && slot < kPieceCount && !isNilValue(e.interp.args[slot]); }

int argInt(Engine& e, int slot) {
    if (slot < 0 || slot >= kPieceCount) return kNil;
    return truncInt(valueNumber(e.interp.args[slot]));
}

std::string argText(Engine& e, int slot) {
    if (slot < 0 || slot >= kPieceCount) return {};
    return valueText(e.interp.args[slot]);
}

void scriptStart(Engine& e) {
    Interpreter& in = e.interp;
    in.cmdIf = findCommand("#if");
    in.cmdElseif = findCommand("#elseif");
    in.cmdFor = findCommand("#for");
    in.cmdNext = findCommand("#next");
    in.cmdGosub = findCommand("#gosub");
    in.ready = 1;
    e.windows.Activate(WND_DRV);
}

void scriptReset(Engine& e) {
    Interpreter& in = e.interp;
    in.s.currentLine = -1;
    in.s.lineCount = 0;
    in.s.callDepth = 0;
    in.s.loopDepth = 0;
    in.s.loopsPerLevel.fill(0);
    e.program.lines.clear();
    e.program.labels.clear();
    e.program.ifs.clear();
    e.program.switches.clear();
    e.program.loops.clear();
}

void scriptStop(Engine& e) {
    e.interp.yield = 1;
    e.interp.ready = 0;
    e.windows.Deactivate(WND_DRV);
}

int scriptOpen(Engine& e, const std::string& file) {
    Interpreter& in = e.interp;
    scriptReset(e);
    in.previousScript = in.currentScript;
    in.currentScript = file;
    int ok = scriptLoad(e, file);
    in.s.lineCount = e.program.lineCount();
    if (!ok) scriptStop(e);
    return ok;
}

void scriptGoto(Engine& e, const std::string& label) {
    int index = e.program.findLabel(label);
    if (index < 0) return;
    Interpreter& in = e.interp;
    in.s.currentLine = e.program.labels[static_cast<size_t>(index)].line;
    in.s.callDepth = 0;
    in.s.loopDepth = 0;
    in.s.loopsPerLevel.fill(0);
}

void scriptJump(Engine& e, const std::string& label) {
    int index = e.program.findLabel(label);
    if (index < 0) return;
    e.interp.s.currentLine = e.program.labels[static_cast<size_t>(index)].line;
}

void scriptGosub(Engine& e, const std::string& label) {
    int index = e.program.findLabel(label);
    if (index < 0) return;
    Interpreter& in = e.interp;
    InterpreterState& s = in.s;
    // The stack has 32 entries: a call beyond them still reports, and returns
    // to the deepest recorded caller.
    if (s.callDepth < kCallDepth) s.callStack[static_cast<size_t>(s.callDepth)] = s.currentLine;
    if (s.callDepth < kCallDepth) ++s.callDepth;
    if (s.callDepth >= kCallDepth) {
        dialog(e.host, sj("！エラー；#Gosub：ネストレベルのオーバーフローです\n再帰呼び出しになっていないか確認して下さい"));
        dialogVaInt(e.host, {index, s.callDepth, s.currentLine, s.callStack[static_cast<size_t>(kCallDepth - 1)]});
        openSystemMessage(e, sj("#Gosub：ネストレベルのオーバーフロー"));
        in.yield = 1;
    }
    const ProgramLine& callLine = e.program.lines[static_cast<size_t>(s.currentLine < 0 ? 0 : s.currentLine)];
    s.currentLine = e.program.labels[static_cast<size_t>(index)].line;
    const ProgramLine& labelLine = e.program.lines[static_cast<size_t>(s.currentLine)];
    for (int k = 0; k < 7; ++k) {
        if (!labelLine.pieces[static_cast<size_t>(k)].present) continue;
        std::string name = evaluateForName(e, labelLine.pieces[static_cast<size_t>(k)].expr);
        const variant& value = in.args[k + 1];
        const Piece& own = callLine.pieces[static_cast<size_t>(k + 1)];
        if (valueIsText(value)) {
            std::string text = valueText(value);
            bool quoted = !own.postfix().empty() && own.postfix()[0] == '"';
            if (text.find('[', 1) != std::string::npos && text.size() > 1 && !quoted) {
                setVariableInt(e, name, 0);
                continue;
            }
        }
        setVariable(e, name, value);
    }
}

void scriptReturn(Engine& e) {
    Interpreter& in = e.interp;
    InterpreterState& s = in.s;
    if (s.currentLine >= 0 && s.currentLine < e.program.lineCount() &&
        e.program.lines[static_cast<size_t>(s.currentLine)].args == "_dbg" && s.callDepth > 0)
        dialog(e.host, static_cast<int>(s.callStack[static_cast<size_t>(s.callDepth - 1)]));
    setVariable(e, "_return", in.args[0]);
    for (int i = 0; i < kPieceCount; ++i) setVariable(e, "_return[" + formatInt(i) + "]", in.args[i]);
    int level = s.callDepth < kCallDepth ? s.callDepth : kCallDepth - 1;
    s.loopDepth -= s.loopsPerLevel[static_cast<size_t>(level)];
    s.loopsPerLevel[static_cast<size_t>(level)] = 0;
    if (s.loopDepth < 0) s.loopDepth = 0;
    if (s.callDepth > 0) {
        --s.callDepth;
        s.currentLine = s.callStack[static_cast<size_t>(s.callDepth)];
        return;
    }
    if (!valueIsText(in.returnLabel)) scriptStop(e);
    else scriptGoto(e, valueText(in.returnLabel));
}

void evaluateArguments(Engine& e, int index) {
    Interpreter& in = e.interp;
    const ProgramLine& line = e.program.lines[static_cast<size_t>(index)];
    const bool condition = line.command == in.cmdIf || line.command == in.cmdElseif;
    for (int i = 0; i < kPieceCount; ++i) {
        const Piece& piece = line.pieces[static_cast<size_t>(i)];
        if (!piece.present) {
            setNil(in.args[i]);
            continue;
        }
        if (piece.postfix().empty()) continue;
        if (condition) {
            evaluateInto(e, piece.expr, 1, in.args[i], nullptr);
            return;
        }
        evaluateInto(e, piece.expr, 0, in.args[i], &in.argNames[i]);
    }
}

void scriptStep(Engine& e) {
    Interpreter& in = e.interp;
    InterpreterState& s = in.s;
    if (!in.ready || e.program.lines.empty()) {
        // An archive that could not be opened or verified ends the program after this step.
        if (in.ready && archiveFailedVerification(e)) e.game.quitRequest = 1;
        return;
    }
    if (in.keyWait) {
        int pulses = keyPressPulses(e);
        if (!pulses) return;
        setVariableInt(e, "_keypad", pulses);
        in.keyWait = 0;
    }
    if (in.keyJump == 1 && keysHeld(e)) {
        scriptGoto(e, in.keyGotoLabel);
        e.timers.set(7, 0);
        in.keyJump = 0;
    } else if (in.keyJump == 2 && keysHeld(e)) {
        scriptGosub(e, in.keyGosubLabel);
        e.timers.set(7, 0);
        in.keyJump = 0;
    }
    if (static_cast<int32_t>(e.timers.get(7)) > 0) return;

    const uint32_t start = e.host.tickMs();
    const double budget = static_cast<int32_t>(e.timers.get(5));
    const int last = e.program.lineCount() - 1;
    int count = 0;
    for (;;) {
        if (++count > in.watchdogLimit) {
            int source = s.currentLine >= 0 && s.currentLine <= last ? e.program.lines[static_cast<size_t>(s.currentLine)].sourceLine : 0;
            std::string text = sj("前回の#vsyncから") + formatInt(in.watchdogLimit) + sj("行を超えました。\n無限ループの可能性があります\n") +
                               sj("ループ間に#vsync命令があるか確認してください\nスクリプトを停止します\n\n") + sj("現在行：") +
                               formatInt(source + 1);
            dialog(e.host, text);
            scriptReturn(e);
            scriptStop(e);
            return;
        }
        ++s.currentLine;
        if (s.currentLine > last) {
            // A jump or scan went past the end: stop at the end of the program.
            s.currentLine = last;
            dbg(e.host, sj("最後の行に達しました。デバッグ確認してください：") + formatInt(e.program.lines.back().sourceLine) + sj("行目"));
            scriptReturn(e);
            if (!in.ready) return;
            continue;
        }
        ++in.linesRun;
        evaluateArguments(e, s.currentLine);
        const int command = e.program.lines[static_cast<size_t>(s.currentLine)].command;
        if (command >= kPluginCommandBase) {
            callPluginCommand(e, command - kPluginCommandBase);
            continue;
        }
        commandHandler(command)(e);
        if (s.currentLine >= last) {
            int source = e.program.lines[static_cast<size_t>(s.currentLine > last ? last : s.currentLine)].sourceLine;
            dbg(e.host, sj("最後の行に達しました。デバッグ確認してください：") + formatInt(source) + sj("行目"));
            scriptReturn(e);
        }
        if (in.yield) {
            in.yield = 0;
            break;
        }
        if (in.runMode == 1) break;
        if (in.runMode == 2 && static_cast<double>(e.host.tickMs() - start) > 16.6 - budget) break;
        if (!in.ready) break;
    }
    if (archiveFailedVerification(e)) e.game.quitRequest = 1;
}

}  // namespace qf
