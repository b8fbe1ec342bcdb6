#include "wnd/flag_window.h"

#include "gfx/pictures.h"
#include "gfx/text_output.h"
#include "input/input.h"
#include "script/variables.h"
#include "wnd/window_table.h"
#include "gfx/text_output.h"
#include "platform/sjis.h"

namespace qf {

namespace {

constexpr int kGridSize = 16;
constexpr int kCellPixels = 5;
constexpr int kBlinkPeriod = 32, kBlinkShown = 24;
constexpr int kCursorKeep = 64;

int wrap(int v) { return (v % kGridSize + kGridSize) % kGridSize; }

}  // namespace

void OpenFlagWindow(FlagWindow& w, WindowTable& windows) {
    w.open = 1;
    windows.Activate(WND_FLG);
}

void FlagWindowUpdate(FlagWindow& w, Input& in, Variables& vars, WindowTable& windows) {
    if (!w.open) return;
    if (in.repeat(BTN_L)) w.column = wrap(w.column - 1);
    if (in.repeat(BTN_R)) w.column = wrap(w.column + 1);
    if (in.repeat(BTN_U)) w.row = wrap(w.row - 1);
    if (in.repeat(BTN_D)) w.row = wrap(w.row + 1);
    if (in.repeat(BTN_A)) {
        const int n = w.row * kGridSize + w.column;
        vars.flagSet(n, (vars.flagGet(n) + 1) % 2);
    }
    if (in.repeat(BTN_B)) {
        w.open = 0;
        windows.Deactivate(WND_FLG);
    }
    padClearPulses(in.pad());
}

void FlagWindowDraw(FlagWindow& w, TextState& text, const Input& in, const Variables& vars) {
    if (!w.open) return;
    const int height = FontHeight(text);
    Box(text, 10, 40, 96, 104, kPanelBoxKeep, 1);
    SetTextPos(text, 15, 45);
    PrintLine(text, sj("フラグ"));
    SetTextPos(text, 65, 45);
    PrintLabel(text, "/", 256);
    SetTextPos(text, 45, 45);
    PrintInt(text, w.row * kGridSize + w.column);

    SetFontSize(text, kCellPixels);
    w.blink = (w.blink + 1) % kBlinkPeriod;
    if (in.HeldMask() != 0) w.blink = 0;
    const int top = 48 + height;
    if (w.blink < kBlinkShown)
        text.pictures->TintTarget(15 + kCellPixels * w.column, top + kCellPixels * w.row, kCellPixels, kCellPixels, 255,
                              255, 255, kCursorKeep, text.windowColour);
    const std::string& on = sj("○");
    const std::string& off = sj("－");
    for (int row = 0; row < kGridSize; ++row) {
        for (int column = 0; column < kGridSize; ++column) {
            SetTextPos(text, 15 + kCellPixels * column, top + kCellPixels * row);
            PrintLine(text, vars.flagGet(row * kGridSize + column) != 0 ? on : off);
        }
    }
    SetFontSize(text, height);
}

}  // namespace qf
