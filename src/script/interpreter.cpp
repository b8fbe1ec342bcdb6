#include "script/interpreter.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/host.h"
#include "platform/report.h"
#include "platform/sjis.h"
#include "script/rpn.h"
#include "script/variables.h"

namespace qf {

namespace {

std::string formatInt(long long n) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%lld", n);
    return buf;
}

thread_local Variables::KeptName returnNames[1 + kPieceCount] = {
    {"_return"},    {"_return[0]"}, {"_return[1]"}, {"_return[2]"}, {"_return[3]"},
    {"_return[4]"}, {"_return[5]"}, {"_return[6]"}, {"_return[7]"},
};

}  // namespace

bool Interpreter::archiveFailed() const { return hooks.archiveFailed && hooks.archiveFailed(); }
bool Interpreter::anyKeyHeld() const { return hooks.anyKeyHeld && hooks.anyKeyHeld(); }

Interpreter::Interpreter(Program& p, Variables& v, Rpn& r, Host& h, FrameTimers& t)
    : program(p), vars(v), rpn(r), host(h), timers(t) {}

void Interpreter::start() {
    Interpreter& in = *this;
    in.cmdIf = findCommand("#if");
    in.cmdElseif = findCommand("#elseif");
    in.cmdFor = findCommand("#for");
    in.cmdNext = findCommand("#next");
    in.cmdGosub = findCommand("#gosub");
    in.ready = 1;
    if (hooks.setActive) hooks.setActive(true);
}

void Interpreter::reset() {
    Interpreter& in = *this;
    in.s.currentLine = -1;
    in.s.lineCount = 0;
    in.s.callDepth = 0;
    in.s.loopDepth = 0;
    in.s.loopsPerLevel.fill(0);
    program.lines.clear();
    program.labels.clear();
    program.ifs.clear();
    program.switches.clear();
    program.loops.clear();
    program.index();
}

void Interpreter::stop() {
    yield = 1;
    ready = 0;
    if (hooks.setActive) hooks.setActive(false);
}

int Interpreter::open(const std::string& file) {
    reset();
    previousScript = currentScript;
    currentScript = file;
    const LoadResult result = scriptLoad(program, rpn, host, source, file);
    if (result.quitAsked && hooks.postQuit) hooks.postQuit();
    s.lineCount = program.lineCount();
    if (!result.loaded) stop();
    return result.loaded;
}

void Interpreter::gotoLabel(const std::string& label) {
    int index = program.findLabel(label);
    if (index < 0) return;
    Interpreter& in = *this;
    in.s.currentLine = program.labels[static_cast<size_t>(index)].line;
    in.s.callDepth = 0;
    in.s.loopDepth = 0;
    in.s.loopsPerLevel.fill(0);
}

void Interpreter::jumpLabel(const std::string& label) {
    int index = program.findLabel(label);
    if (index < 0) return;
    s.currentLine = program.labels[static_cast<size_t>(index)].line;
}

void Interpreter::gosubLabel(const std::string& label) {
    int index = program.findLabel(label);
    if (index < 0) return;
    Interpreter& in = *this;
    // The stack has 32 entries: a call beyond them still reports, and returns
    // to the deepest recorded caller.
    if (s.callDepth < kCallDepth) s.callStack[static_cast<size_t>(s.callDepth)] = s.currentLine;
    if (s.callDepth < kCallDepth) ++s.callDepth;
    if (s.callDepth >= kCallDepth) {
        dialog(host, sj("！エラー；#Gosub：ネストレベルのオーバーフローです\n再帰呼び出しになっていないか確認して下さい"));
        dialogVaInt(host, {index, s.callDepth, s.currentLine, s.callStack[static_cast<size_t>(kCallDepth - 1)]});
        if (hooks.systemMessage) hooks.systemMessage(sj("#Gosub：ネストレベルのオーバーフロー"));
        in.yield = 1;
    }
    const ProgramLine& callLine = program.lines[static_cast<size_t>(s.currentLine < 0 ? 0 : s.currentLine)];
    s.currentLine = program.labels[static_cast<size_t>(index)].line;
    // The label line's pieces name the parameters.
    const ReadyLine& labelLine = lineForms.get(program, s.currentLine, in.cmdIf, in.cmdElseif);
    for (int k = 0; k < 7 && k < labelLine.stored; ++k) {
        if (labelLine.state[k] == ReadyLine::Absent) continue;
        const RpnExpr& expr = labelLine.forms[static_cast<size_t>(k)];
        const variant& value = in.args[k + 1];
        const Piece& own = callLine.pieces[static_cast<size_t>(k + 1)];
        // A text holding "[" after its first byte, not given as a literal, binds as 0.
        if (value.isString() && value.raw()[0] && std::strchr(value.raw() + 1, '[') && own.text()[0] != '"') {
            static const variant zero(0);
            rpn.assignToLastName(expr, zero);
            continue;
        }
        rpn.assignToLastName(expr, value);
    }
}

void Interpreter::returnFromCall() {
    Interpreter& in = *this;
    if (s.currentLine >= 0 && s.currentLine < program.lineCount() &&
        program.lines[static_cast<size_t>(s.currentLine)].args == "_dbg" && s.callDepth > 0)
        dialog(host, static_cast<int>(s.callStack[static_cast<size_t>(s.callDepth - 1)]));
    vars.valSetKept(returnNames[0], in.args[0]);
    for (int i = 0; i < kPieceCount; ++i) vars.valSetKept(returnNames[1 + i], in.args[i]);
    int level = s.callDepth < kCallDepth ? s.callDepth : kCallDepth - 1;
    s.loopDepth -= s.loopsPerLevel[static_cast<size_t>(level)];
    s.loopsPerLevel[static_cast<size_t>(level)] = 0;
    if (s.loopDepth < 0) s.loopDepth = 0;
    if (s.callDepth > 0) {
        --s.callDepth;
        s.currentLine = s.callStack[static_cast<size_t>(s.callDepth)];
        return;
    }
    if (!in.returnLabel.isString()) stop();
    else gotoLabel(valueText(in.returnLabel));
}

int Interpreter::ifEntry(int32_t ReadyLine::*answer, const std::vector<int>& table) {
    const bool mine = m_running && m_running->line == s.currentLine && m_running->load == program.loadId();
    if (mine && m_running->*answer != ReadyLine::kNotAsked) return m_running->*answer;
    const int entry = table[static_cast<size_t>(program.firstIfAfter(s.currentLine))];
    if (mine) m_running->*answer = entry;
    return entry;
}

void Interpreter::evaluateArguments(const ReadyLine& line) {
    Interpreter& in = *this;
    const int stored = line.stored;
    for (int i = 0; i < stored; ++i) {
        switch (line.state[i]) {
            case ReadyLine::Absent:
                in.args[i] = kNil;
                continue;
            case ReadyLine::Empty:
                continue;
            case ReadyLine::Expression:
                break;
        }
        const RpnExpr& expr = line.forms[static_cast<size_t>(i)];
        if (line.condition) {
            rpn.rpnRunInto(expr, 1, in.args[i], nullptr);
            if (m_absentFrom <= i) m_absentFrom = i + 1;
            return;
        }
        rpn.rpnRunInto(expr, 0, in.args[i], &in.argNames[i]);
    }
    // The arguments beyond the stored pieces are absent; only those the lines
    // before set need clearing.
    for (int i = stored; i < m_absentFrom; ++i) in.args[i] = kNil;
    m_absentFrom = stored;
}

void Interpreter::step() {
    Interpreter& in = *this;
    if (!in.ready || program.lines.empty()) {
        // An archive that could not be opened or verified ends the program after this step.
        if (in.ready && archiveFailed()) if (hooks.requestQuit) hooks.requestQuit();
        return;
    }
    if (in.keyWait) {
        int pulses = hooks.pressedKeys ? hooks.pressedKeys() : 0;
        if (!pulses) return;
        vars.valSetInt("_keypad", pulses);
        in.keyWait = 0;
    }
    if (in.keyJump == 1 && anyKeyHeld()) {
        gotoLabel(in.keyGotoLabel);
        timers.set(7, 0);
        in.keyJump = 0;
    } else if (in.keyJump == 2 && anyKeyHeld()) {
        gosubLabel(in.keyGosubLabel);
        timers.set(7, 0);
        in.keyJump = 0;
    }
    if (static_cast<int32_t>(timers.get(7)) > 0) return;

    const uint32_t start = host.tickMs();
    const double budget = static_cast<int32_t>(timers.get(5));
    // A line can put another script in place of the program ("#exec"), so its
    // length is read again after each line.
    int last = program.lineCount() - 1;
    int count = 0;
    for (;;) {
        last = program.lineCount() - 1;
        if (last < 0) break;  // the program went away with a failed load
        if (++count > in.watchdogLimit) {
            int source = s.currentLine >= 0 && s.currentLine <= last ? program.lines[static_cast<size_t>(s.currentLine)].sourceLine : 0;
            std::string text = sj("前回の#vsyncから") + formatInt(in.watchdogLimit) + sj("行を超えました。\n無限ループの可能性があります\n") +
                               sj("ループ間に#vsync命令があるか確認してください\nスクリプトを停止します\n\n") + sj("現在行：") +
                               formatInt(source + 1);
            dialog(host, text);
            returnFromCall();
            stop();
            return;
        }
        ++s.currentLine;
        if (s.currentLine > last) {
            // A jump or scan went past the end: stop at the end of the program.
            s.currentLine = last;
            dbg(host, sj("最後の行に達しました。デバッグ確認してください：") + formatInt(program.lines.back().sourceLine) + sj("行目"));
            returnFromCall();
            if (!in.ready) return;
            continue;
        }
        ++in.linesRun;
        ReadyLine& line = lineForms.get(program, s.currentLine, in.cmdIf, in.cmdElseif);
        evaluateArguments(line);
        const int command = line.command;
        if (command >= kPluginCommandBase) {
            if (hooks.pluginCommand) hooks.pluginCommand(command - kPluginCommandBase);
            continue;
        }
        m_running = &line;
        handlers[static_cast<size_t>(command)](*owner);
        last = program.lineCount() - 1;
        if (last >= 0 && s.currentLine >= last) {
            int source = program.lines[static_cast<size_t>(s.currentLine > last ? last : s.currentLine)].sourceLine;
            dbg(host, sj("最後の行に達しました。デバッグ確認してください：") + formatInt(source) + sj("行目"));
            returnFromCall();
        }
        if (in.yield) {
            in.yield = 0;
            break;
        }
        if (in.runMode == 1) break;
        if (in.runMode == 2 && static_cast<double>(host.tickMs() - start) > 16.6 - budget) break;
        if (!in.ready) break;
    }
    if (archiveFailed()) if (hooks.requestQuit) hooks.requestQuit();
}

}  // namespace qf
