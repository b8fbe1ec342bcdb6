// Frame and timing commands, random numbers, and the small engine commands.
#include <cstdlib>
#include <ctime>

#include "platform/report.h"
#include "commands/args.h"
#include "commands/registry.h"

namespace qf {

namespace {

void cmdVsync(Engine& e) { e.interp.yield = 1; }

void waitFor(Engine& e, int mode) {
    int n = argGiven(e, 0) ? argInt(e, 0) : 1;
    e.interp.yield = 1;
    e.timers.set(7, static_cast<uint32_t>(n));
    e.timers.setWaitMode(mode, e.host.tickMs());
}
void cmdWait(Engine& e) { waitFor(e, 1); }
void cmdWaitf(Engine& e) { waitFor(e, 0); }

void cmdTimerSet(Engine& e) { e.timers.set(argInt(e, 0) + 1, static_cast<uint32_t>(argInt(e, 1))); }

void cmdTimerGet(Engine& e) {
    int slot = argInt(e, 1) + 1;
    // There is no timer outside -1..6: the variable is left alone.
    if (slot < 0 || slot >= FrameTimers::kSlots) return;
    setVariableInt(e, argName(e, 0), static_cast<int>(e.timers.get(slot)));
}

void rndRegion(Engine& e, int lo, int hi) {
    int d = hi - lo;
    if (d == 0) d = 1;
    setVariableInt(e, argName(e, 0), lo + e.random.next() % d);
}

void cmdRnd(Engine& e) {
    if (argGiven(e, 2)) {
        rndRegion(e, argInt(e, 1), argInt(e, 2));
        return;
    }
    int n = argInt(e, 1);
    setVariableInt(e, argName(e, 0), n != 0 ? e.random.next() % n : 0);
}

void cmdRndRgn(Engine& e) { rndRegion(e, argInt(e, 1), argInt(e, 2)); }

void cmdSrnd(Engine& e) {
    e.random.seed(argGiven(e, 0) ? static_cast<unsigned>(argInt(e, 0)) : static_cast<unsigned>(std::time(nullptr)));
}

void cmdDrivenMode(Engine& e) {
    keepArg(e, 0, e.run.statisticsMode);
    if (argGiven(e, 1)) {
        e.interp.runMode = argInt(e, 1);
        e.run.runMode = e.interp.runMode;
        setVariableInt(e, "_drivenType", e.interp.runMode);
    }
    keepArg(e, 2, e.run.alternateFrameMode);
    keepArg(e, 3, e.run.messageDisplay);
    keepArg(e, 4, e.interp.watchdogLimit);
}

void cmdQuit(Engine& e) { e.game.quitRequest = 1; }

void cmdTitle(Engine& e) { e.host.setTitle(argText(e, 0)); }

void cmdDialog(Engine& e) {
    std::string caption = argGiven(e, 1) ? argText(e, 1) : std::string("dialog");
    dialog(e.host, argText(e, 0), caption);
}

void cmdDebug(Engine& e) { e.rpn.traceOn(); }

}  // namespace

const CommandFamily kEngineCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#debug", cmdDebug},       {"#dialog", cmdDialog},     {"#drivenMode", cmdDrivenMode},
        {"#vsync", cmdVsync},       {"#quit", cmdQuit},         {"#end", cmdQuit},
        {"#title", cmdTitle},       {"#wait", cmdWait},         {"#waitf", cmdWaitf},
        {"#timerSet", cmdTimerSet}, {"#timerGet", cmdTimerGet}, {"#rnd", cmdRnd},
        {"#rndRgn", cmdRndRgn},     {"#srnd", cmdSrnd},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
