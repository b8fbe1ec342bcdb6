// The key and mouse commands.
#include <string>

#include "input/key_config.h"
#include "commands/args.h"
#include "commands/registry.h"

namespace qf {

namespace {

// The label as the line wrote it, without the blanks after it.
std::string lineLabel(Engine& e) {
    std::string text = argLineText(e);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    return text;
}

void cmdKeyInput(Engine& e) {
    e.interp.keyWait = 1;
    e.interp.yield = 1;
}

void cmdKeyScan(Engine& e) { setVariableInt(e, "_keypad", e.input.PressMask()); }

void cmdKeyGosub(Engine& e) {
    e.interp.keyGosubLabel = lineLabel(e);
    e.interp.keyJump = 2;
}

void cmdKeyGoto(Engine& e) {
    e.interp.keyGotoLabel = lineLabel(e);
    e.interp.keyJump = 1;
}

void cmdKeyGotoStop(Engine& e) { e.interp.keyJump = 0; }

void cmdKeySel(Engine& e) {
    if (argGiven(e, 0)) e.input.Select(argInt(e, 0));
}

void cmdKeyConfig(Engine& e) {
    const int button = keyConfigButton(argName(e, 0), argInt(e, 0));
    if (button >= 0) e.input.SetKey(button, argInt(e, 1));
}

void cmdKeyConfigA(Engine& e) {
    static constexpr int kButtons[6] = {BTN_U, BTN_D, BTN_L, BTN_R, BTN_ST, BTN_SEL};
    for (int i = 0; i < 6; ++i) e.input.SetKey(kButtons[i], argInt(e, i));
}

void cmdKeyConfigB(Engine& e) {
    e.input.SetKey(BTN_A, argInt(e, 0));
    e.input.SetKey(BTN_B, argInt(e, 1));
}

void cmdMouseIcon(Engine& e) { e.input.ShowCursor(argInt(e, 0)); }

}  // namespace

const CommandFamily kInputCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#keyInput", cmdKeyInput},
        {"#keyScan", cmdKeyScan},
        {"#keyGosub", cmdKeyGosub},
        {"#keyGoto", cmdKeyGoto},
        {"#keyGotoStop", cmdKeyGotoStop},
        {"#keySel", cmdKeySel},
        {"#keyConfig", cmdKeyConfig},
        {"#keyConfigA", cmdKeyConfigA},
        {"#keyConfigB", cmdKeyConfigB},
        {"#mouseIcon", cmdMouseIcon},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
