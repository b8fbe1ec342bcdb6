// The flag window: the 256 game flags as a 16 × 16 grid, walked with the
// pad and toggled with A; B closes it.
#pragma once

namespace qf {

struct Input;
class Variables;
struct WindowTable;
struct TextState;

struct FlagWindow {
    int column = 0, row = 0;  // 0..15 each
    int open = 0;
    int blink = 0;            // the cursor shows while this is below 24 of 32
};

// "#wndFlag": opens the window in front of the interpreter.
void OpenFlagWindow(FlagWindow& w, WindowTable& windows);
void FlagWindowUpdate(FlagWindow& w, Input& in, Variables& vars, WindowTable& windows);
// Into the current drawing target, when open.
void FlagWindowDraw(FlagWindow& w, TextState& text, const Input& in, const Variables& vars);

}  // namespace qf
