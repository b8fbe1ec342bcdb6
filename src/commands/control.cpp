// Conditions, switches, loops, jumps, subroutines and script chaining.
#include "commands/args.h"
#include "commands/registry.h"

namespace qf {

namespace {

int& current(Engine& e) { return e.interp.s.currentLine; }

// The if-table entry after the current line at which a false condition
// continues, or -1 when there is none.
int ifSkipTarget(Engine& e) {
    const auto& ifs = e.program.ifs;
    if (e.program.ifsIndexed()) {
        // The branch entries at this level, in order, straight from the index.
        int k = e.interp.ifBranchEntry();
        while (k >= 0) {
            const IfEntry& entry = ifs[static_cast<size_t>(k)];
            if (entry.kind != IF_ELSEIF) return entry.line;
            e.interp.evaluateArguments(entry.line);
            if (!(e.interp.args[0].isNumber() && e.interp.args[0].num() == 0)) return entry.line;
            k = e.program.ifBranchFrom[static_cast<size_t>(k) + 1];
        }
        return -1;
    }
    int depth = 0;
    for (const IfEntry& entry : ifs) {
        if (entry.line <= current(e)) continue;
        switch (entry.kind) {
            case IF_IF: ++depth; break;
            case IF_ELSEIF:
                if (depth == 0) {
                    e.interp.evaluateArguments(entry.line);
                    if (!(e.interp.args[0].isNumber() && e.interp.args[0].num() == 0)) return entry.line;
                }
                break;
            case IF_ELSE:
                if (depth == 0) return entry.line;
                break;
            case IF_ENDIF:
                if (depth == 0) return entry.line;
                --depth;
                break;
        }
    }
    return -1;
}

int matchingEndif(Engine& e) {
    if (e.program.ifsIndexed()) {
        const int k = e.interp.ifEndEntry();
        return k < 0 ? -1 : e.program.ifs[static_cast<size_t>(k)].line;
    }
    int depth = 0;
    for (const IfEntry& entry : e.program.ifs) {
        if (entry.line <= current(e)) continue;
        if (entry.kind == IF_IF) ++depth;
        else if (entry.kind == IF_ENDIF) {
            if (depth == 0) return entry.line;
            --depth;
        }
    }
    return -1;
}

// Moves to the end of the program when a scan finds no closing entry.
void jumpTo(Engine& e, int line) { current(e) = line >= 0 ? line : e.program.lineCount() - 1; }

void cmdIf(Engine& e) {
    if (e.interp.args[0].num() == 0) jumpTo(e, ifSkipTarget(e));
}

void cmdElseBranchEnd(Engine& e) { jumpTo(e, matchingEndif(e)); }

void cmdSwitch(Engine& e) {
    const double value = e.interp.args[0].num();
    const auto& sw = e.program.switches;
    bool skipping = false;
    for (const SwitchEntry& entry : sw) {
        if (entry.line <= current(e)) continue;
        if (skipping) {
            if (entry.kind == SW_SWEND) skipping = false;
            continue;
        }
        if (entry.kind == SW_SWITCH) {
            skipping = true;
        } else if (entry.kind == SW_CASE) {
            if (evaluateExpression(e, entry.value, 0) == variant(value)) {
                current(e) = entry.line;
                return;
            }
        } else if (entry.kind == SW_DEFAULT) {
            current(e) = entry.line;
            return;
        } else if (entry.kind == SW_SWEND) {
            return;
        }
    }
}

void cmdCase(Engine& e) {
    int depth = 0;
    for (const SwitchEntry& entry : e.program.switches) {
        if (entry.line <= current(e)) continue;
        if (entry.kind == SW_SWITCH) ++depth;
        else if (entry.kind == SW_SWEND) {
            if (depth == 0) {
                current(e) = entry.line;
                return;
            }
            --depth;
        }
    }
    jumpTo(e, -1);
}

void addLoopAtLevel(Engine& e, int delta) {
    InterpreterState& s = e.interp.s;
    int level = s.callDepth < kCallDepth ? s.callDepth : kCallDepth - 1;
    s.loopsPerLevel[static_cast<size_t>(level)] += delta;
}

bool pushLoop(Engine& e, int line, int count) {
    InterpreterState& s = e.interp.s;
    if (s.loopDepth + 1 >= kLoopDepth) return false;  // no room: the loop runs once
    ++s.loopDepth;
    s.loopStack[static_cast<size_t>(s.loopDepth)] = {line, count};
    addLoopAtLevel(e, 1);
    return true;
}

void popLoop(Engine& e) {
    InterpreterState& s = e.interp.s;
    if (s.loopDepth > 0) --s.loopDepth;
    addLoopAtLevel(e, -1);
}

// Finds the closing "#loop"/"#next" of the innermost loop after the current line.
bool leaveLoop(Engine& e) {
    int depth = 0;
    for (const LoopEntry& entry : e.program.loops) {
        if (entry.line <= current(e)) continue;
        if (entry.kind == LOOP_REPEAT || entry.kind == LOOP_FOR) ++depth;
        else if (entry.kind == LOOP_LOOP || entry.kind == LOOP_NEXT) {
            if (depth == 0) {
                current(e) = entry.line;
                return true;
            }
            --depth;
        }
    }
    return false;
}

void setLoopCount(Engine& e, int value) {
    static thread_local Variables::KeptName count{"_cnt"};
    e.vars.valSetKeptInt(count, value);
}

void resetCounterWhenOutside(Engine& e) {
    if (e.interp.s.loopDepth < 1) e.interp.loopCounter = 0;
    setLoopCount(e, e.interp.loopCounter);
}

void cmdRepeat(Engine& e) {
    int n = truncInt(e.interp.args[0].num());
    if (n == 0) {
        leaveLoop(e);
        return;
    }
    pushLoop(e, current(e), n);
}

void cmdLoop(Engine& e) {
    Interpreter& in = e.interp;
    InterpreterState& s = in.s;
    in.loopCounter += 1;
    setLoopCount(e, in.loopCounter);
    if (s.loopDepth < 1) return;
    LoopFrame& top = s.loopStack[static_cast<size_t>(s.loopDepth)];
    if (top.count == -1) {
        current(e) = top.line;
    } else if (top.count > 1) {
        current(e) = top.line;
        top.count -= 1;
    } else if (top.count == 1 || top.count == 0) {
        popLoop(e);
        resetCounterWhenOutside(e);
    }
}

void cmdFor(Engine& e) {
    if (e.interp.args[1].num() == 0) {
        leaveLoop(e);
        return;
    }
    pushLoop(e, current(e), 0);
}

void cmdNext(Engine& e) {
    InterpreterState& s = e.interp.s;
    if (e.interp.args[1].num() == 0) {
        popLoop(e);
        return;
    }
    if (s.loopDepth >= 1) current(e) = s.loopStack[static_cast<size_t>(s.loopDepth)].line;
}

void cmdContinue(Engine& e) {
    if (leaveLoop(e)) current(e) -= 1;
}

void cmdBreak(Engine& e) {
    if (leaveLoop(e)) popLoop(e);
}

std::string labelOperand(Engine& e) {
    std::string name = argName(e, 0);
    if (!name.empty() && name[0] == '*') return name;
    return valueText(e.interp.args[0]);
}

void cmdGoto(Engine& e) { e.interp.gotoLabel(labelOperand(e)); }
void cmdJump(Engine& e) { e.interp.jumpLabel(labelOperand(e)); }
void cmdGosub(Engine& e) { e.interp.gosubLabel(labelOperand(e)); }
void cmdReturn(Engine& e) { e.interp.returnFromCall(); }

void cmdReturnSet(Engine& e) {
    std::string name = argName(e, 0);
    if (e.program.findLabel(name) >= 0) e.interp.returnLabel = name;
}

void cmdExec(Engine& e) {
    Interpreter& in = e.interp;
    std::string file = valueText(in.args[0]);
    if (resSizeGet(e.resources, file) <= 0) return;
    in.saved = in.s;
    in.haveSaved = true;
    std::string labelName = argName(e, 1);
    std::string labelValue = argGiven(e, 1) ? valueText(in.args[1]) : std::string();
    e.program.includes.clear();
    e.interp.open(file);
    if (!labelName.empty()) e.interp.gotoLabel(labelName[0] == '*' ? labelName : labelValue);
}

void cmdExecReturn(Engine& e) {
    Interpreter& in = e.interp;
    if (in.previousScript.empty()) {
        e.game.quitRequest = 1;
        e.game.quitPosted = 1;
        return;
    }
    e.program.includes.clear();
    std::string previous = in.previousScript;
    e.interp.open(previous);
    if (in.haveSaved) {
        int lineCount = in.s.lineCount;
        in.s = in.saved;
        in.s.lineCount = lineCount;
    }
}

}  // namespace

const CommandFamily kControlCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"@", cmdCase},
        {"#if", cmdIf},
        {"#elseif", cmdElseBranchEnd},
        {"#else", cmdElseBranchEnd},
        {"#switch", cmdSwitch},
        {"#for", cmdFor},
        {"#next", cmdNext},
        {"#repeat", cmdRepeat},
        {"#loop", cmdLoop},
        {"#continue", cmdContinue},
        {"#break", cmdBreak},
        {"#goto", cmdGoto},
        {"#gosub", cmdGosub},
        {"#jump", cmdJump},
        {"#return", cmdReturn},
        {"#returnSet", cmdReturnSet},
        {"#exec", cmdExec},
        {"#execReturn", cmdExecReturn},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
