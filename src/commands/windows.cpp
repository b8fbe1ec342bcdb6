// The window looks commands and the flag window command.
#include "commands/args.h"
#include "commands/registry.h"
#include "wnd/flag_window.h"
#include "wnd/frame.h"

namespace qf {

namespace {

void cmdWndSetSnd(Engine& e) { SetWindowSound(e.looks, argInt(e, 0), argInt(e, 1), argInt(e, 2)); }

void cmdWndSetLooks(Engine& e) {
    for (S_Frame& f : e.looks.frames) {
        keepArg(e, 0, f.r);
        keepArg(e, 1, f.g);
        keepArg(e, 2, f.b);
        keepArg(e, 3, f.keep);
        keepArg(e, 4, f.outline);
        keepArg(e, 5, f.shown);
    }
}

// The first four are taken as they come, a left-out one as _NIL.
void cmdWndSetImg(Engine& e) {
    FrameImages& img = e.looks.images;
    img.slot = argInt(e, 0);
    img.tile = argInt(e, 1);
    img.srcX = argInt(e, 2);
    img.srcY = argInt(e, 3);
    keepArg(e, 4, img.transparency);
    keepArg(e, 5, img.maskSlot);
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

void cmdWndFlag(Engine& e) {
    OpenFlagWindow(e.flagWindow, e.windows);
    e.interp.yield = 1;
}

}  // namespace

const CommandFamily kWindowCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#wndSetSnd", cmdWndSetSnd},
        {"#wndSetLooks", cmdWndSetLooks},
        {"#wndSetImg", cmdWndSetImg},
        {"#wndAct", cmdWndAct},
        {"#wndFlag", cmdWndFlag},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
