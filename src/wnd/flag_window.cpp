#include "wnd/flag_window.h"

#include "app/engine.h"
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

void OpenFlagWindow(Engine& e) {
    e.flagWindow.open = 1;
    e.windows.Activate(WND_FLG);
}

void FlagWindowUpdate(Engine& e) {
    FlagWindow& w = e.flagWindow;
    if (!w.open) return;
    const Input& in = e.input;
    if (in.repeat(BTN_L)) w.column = wrap(w.column - 1);
    if (in.repeat(BTN_R)) w.column = wrap(w.column + 1);
    if (in.repeat(BTN_U)) w.row = wrap(w.row - 1);
    if (in.repeat(BTN_D)) w.row = wrap(w.row + 1);
    if (in.repeat(BTN_A)) {
        const int n = w.row * kGridSize + w.column;
        e.vars.flagSet(n, (e.vars.flagGet(n) + 1) % 2);
    }
    if (in.repeat(BTN_B)) {
        w.open = 0;
        e.windows.Deactivate(WND_FLG);
    }
    padClearPulses(e.input.pad());
}

void FlagWindowDraw(Engine& e) {
    FlagWindow& w = e.flagWindow;
    if (!w.open) return;
    const int height = FontHeight(e);
    Box(e, 10, 40, 96, 104, kPanelBoxKeep, 1);
    SetTextPos(e, 15, 45);
    PrintLine(e, sj("フラグ"));
    SetTextPos(e, 65, 45);
    PrintLabel(e, "/", 256);
    SetTextPos(e, 45, 45);
    PrintInt(e, w.row * kGridSize + w.column);

    SetFontSize(e, kCellPixels);
    w.blink = (w.blink + 1) % kBlinkPeriod;
    if (e.input.HeldMask() != 0) w.blink = 0;
    const int top = 48 + height;
    if (w.blink < kBlinkShown)
        e.pictures.TintTarget(15 + kCellPixels * w.column, top + kCellPixels * w.row, kCellPixels, kCellPixels, 255,
                              255, 255, kCursorKeep, e.text.windowColour);
    const std::string& on = sj("○");
    const std::string& off = sj("－");
    for (int row = 0; row < kGridSize; ++row) {
        for (int column = 0; column < kGridSize; ++column) {
            SetTextPos(e, 15 + kCellPixels * column, top + kCellPixels * row);
            PrintLine(e, e.vars.flagGet(row * kGridSize + column) != 0 ? on : off);
        }
    }
    SetFontSize(e, height);
}

}  // namespace qf
