// Frame and timing commands, random numbers, and the small engine commands.
#include <cstdlib>
#include <ctime>

#include "app/engine.h"
#include "app/report.h"
#include "script/command_handlers.h"
#include "script/interpreter.h"
#include "script/script_services.h"

namespace qf {

namespace {

Interpreter& I(Engine& e) { return e.interp; }

void cmdVsync(Engine& e) { I(e).yield = 1; }

void waitFor(Engine& e, int mode) {
    int n = argGiven(e, 0) ? argInt(e, 0) : 1;
    I(e).yield = 1;
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
    setVariableInt(e, valueText(I(e).argNames[0]), static_cast<int>(e.timers.get(slot)));
}

void rndRegion(Engine& e, int lo, int hi) {
    int d = hi - lo;
    if (d == 0) d = 1;
    setVariableInt(e, valueText(I(e).argNames[0]), lo + std::rand() % d);
}

void cmdRnd(Engine& e) {
    if (argGiven(e, 2)) {
        rndRegion(e, argInt(e, 1), argInt(e, 2));
        return;
    }
    int n = argInt(e, 1);
    setVariableInt(e, valueText(I(e).argNames[0]), n != 0 ? std::rand() % n : 0);
}

void cmdRndRgn(Engine& e) { rndRegion(e, argInt(e, 1), argInt(e, 2)); }

void cmdSrnd(Engine& e) {
    std::srand(argGiven(e, 0) ? static_cast<unsigned>(argInt(e, 0)) : static_cast<unsigned>(std::time(nullptr)));
}

void cmdDrivenMode(Engine& e) {
    keepArg(e, 0, e.run.statisticsMode);
    if (argGiven(e, 1)) {
        I(e).runMode = argInt(e, 1);
        e.run.runMode = I(e).runMode;
        setVariableInt(e, "_drivenType", I(e).runMode);
    }
    keepArg(e, 2, e.run.alternateFrameMode);
    keepArg(e, 3, e.run.messageDisplay);
    keepArg(e, 4, I(e).watchdogLimit);
}

void cmdQuit(Engine& e) { e.game.quitRequest = 1; }

void cmdTitle(Engine& e) { e.host.setTitle(argText(e, 0)); }

void cmdDialog(Engine& e) {
    std::string caption = argGiven(e, 1) ? argText(e, 1) : std::string("dialog");
    dialog(e.host, argText(e, 0), caption);
}

void cmdDebug(Engine& e) { armTrace(e); }

void cmdScreen(Engine& e) {
    e.display.ScreenCommand(argInt(e, 0), argInt(e, 1), argInt(e, 2), argInt(e, 3), argGiven(e, 3));
    e.pictures.CreateScreen(e.display.backBuffer.data(), e.display.width, e.display.height);
}

void cmdWndAct(Engine& e) {
    int id = argInt(e, 0);
    switch (argInt(e, 1)) {
        case 0: e.windows.Deactivate(id); break;
        case 1: e.windows.Activate(id); break;
        case 2: e.windows.SetAlwaysInFront(id, 1); break;
        case -1: e.windows.SetAlwaysInFront(id, 0); break;
        default: break;
    }
}

}  // namespace

const std::vector<CommandBinding>& engineCommandBindings() {
    static const std::vector<CommandBinding> bindings = {
        {"#debug", cmdDebug},       {"#dialog", cmdDialog},   {"#drivenMode", cmdDrivenMode},
        {"#vsync", cmdVsync},       {"#quit", cmdQuit},       {"#end", cmdQuit},
        {"#title", cmdTitle},       {"#wait", cmdWait},       {"#waitf", cmdWaitf},
        {"#timerSet", cmdTimerSet}, {"#timerGet", cmdTimerGet}, {"#rnd", cmdRnd},
        {"#rndRgn", cmdRndRgn},     {"#srnd", cmdSrnd},       {"#wndAct", cmdWndAct},
        {"#screen", cmdScreen},
    };
    return bindings;
}

}  // namespace qf
