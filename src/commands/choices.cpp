// The selection, number and name windows.
#include "commands/args.h"
#include "commands/registry.h"
#include "script/command_table.h"
#include "wnd/name_window.h"
#include "wnd/number_window.h"
#include "wnd/selection_window.h"

namespace qf {

namespace {

// An argument written out and not _NIL. An empty piece keeps the value of
// the line before, so it does not count as given.
bool written(Engine& e, int slot) { return !argRaw(e, slot).empty() && argGiven(e, slot); }

// "$name" or "$name[i]…": the subscripts are evaluated, the variable looked
// up. Nothing when there is no such variable.
std::string variableItem(Engine& e, const std::string& text) {
    std::string name;
    size_t i = 0;
    while (i < text.size() && text[i] != '[') name += text[i++];
    while (i < text.size() && text[i] == '[') {
        const size_t close = text.find(']', i);
        if (close == std::string::npos) break;
        const variant index = evaluateExpression(e, text.substr(i + 1, close - i - 1), 0);
        name += '[' + std::to_string(truncInt(index.num())) + ']';
        i = close + 1;
    }
    const size_t last = name.find_last_not_of(" \t");
    name.resize(last == std::string::npos ? 0 : last + 1);
    const int index = e.vars.valFind(name);
    if (index < 0 || index >= Variables::kMax) return {};
    return valueText(e.vars.valGet(index));
}

// Up to 16 plain text lines after the command become the items; the script
// goes on after the last of them.
std::string collectItems(Engine& e) {
    std::string items;
    int line = e.interp.s.currentLine;
    for (int taken = 0; taken < SelectionWindow::kMaxLines; ++taken) {
        const int next = line + 1;
        if (next >= e.program.lineCount()) break;
        const ProgramLine& l = e.program.lines[static_cast<size_t>(next)];
        if (l.command > CMD_EXPRESSION) break;
        if (taken) items += '\n';
        items += !l.args.empty() && l.args[0] == '$' ? variableItem(e, l.args.substr(1)) : l.args;
        line = next;
    }
    e.interp.s.currentLine = line;
    return items;
}

void cmdWndSelInit(Engine& e) {
    S_Frame& frame = e.looks.frames[kFrameSelection];
    keepArg(e, 0, frame.x);
    keepArg(e, 1, frame.y);
    keepArg(e, 2, e.selection.width);
    keepArg(e, 3, e.selection.height);
    keepArg(e, 4, e.selection.margin);
    keepArg(e, 5, e.selection.barOn);
    keepArg(e, 6, e.selection.markOn);
}

void cmdWndSel(Engine& e) {
    const int cancel = argInt(e, 0);
    const std::string result = written(e, 1) ? argName(e, 1) : std::string();
    const int count = argInt(e, 2);
    const std::string items = collectItems(e);
    // A click made before the window opened does not decide in it.
    mouseRememberToggles(e.input.mouse, e.host);
    OpenSelection(e.selection, e.looks.frames[kFrameSelection], e.windows, e.text, items, cancel, result, count);
    e.interp.yield = 1;
}

void cmdWndNumInit(Engine& e) {
    const auto a = argInts<4>(e);
    e.looks.frames[kFrameNumber].SetRect(a[0], a[1], a[2], a[3]);
}

void cmdWndNum(Engine& e) {
    const auto a = argInts<4>(e);
    OpenNumberWindow(e.numberWindow, e.windows, a[0], a[1], a[2], a[3]);
    e.interp.yield = 1;
}

void cmdWndName(Engine& e) {
    std::string result = "_stat", defaultName;
    if (written(e, 0)) {
        result = argName(e, 0);
        const int index = e.vars.valFind(result);
        if (index >= 0 && index < Variables::kMax) defaultName = valueText(e.vars.valGet(index));
    }
    OpenNameWindow(e.nameWindow, e.looks.frames[kFrameNameEntry2], e.windows, result, defaultName, argInt(e, 1));
    e.interp.yield = 1;
}

}  // namespace

const CommandFamily kChoiceCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#wndSelInit", cmdWndSelInit}, {"#wndSel", cmdWndSel},   {"#wndNumInit", cmdWndNumInit},
        {"#wndNum", cmdWndNum},         {"#wndName", cmdWndName},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
