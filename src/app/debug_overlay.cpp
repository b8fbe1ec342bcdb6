#include "app/debug_overlay.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/engine.h"
#include "app/overlay_canvas.h"
#include "wnd/planes.h"
#include "gfx/text_output.h"
#include "input/input_panels.h"
#include "platform/sjis.h"
#include "wnd/flag_window.h"
#include "wnd/window_list.h"

namespace qf {

namespace {

constexpr int kDigitKeyRepeat = 7;
// Panels in their drawing order.
constexpr int kPanelOrder[] = {5, 2, 3, 4, 6, 7, 8, 1, 0};

void DrawPanel(Engine& e, OverlayCanvas& canvas, int panel) {
    switch (panel) {
        case 5: DrawCommandList(e, canvas); break;
        case 2: DrawInterpreterPanel(e, canvas); break;
        case 3: DrawTablesListing(e, canvas); break;
        case 4: DrawVariableViewer(e, canvas); break;
        case 8: DrawTableViewer(e, canvas); break;
        case 1: DrawPageViewer(e, canvas); break;
        case 0: DrawGeneralPanel(e, canvas); break;
        case 6: DrawPlanesDebug(e.planes, e.text); break;  // the map events join it when they exist
        default: break;                     // 7 the map: nothing to show without one
    }
}

// The digit keys; false while the repeat count-down holds them back.
bool ReadDigitKeys(Engine& e) {
    Game& g = e.game;
    if (--g.debugRepeat > 0) return false;
    for (int k = 0; k < 9; ++k) {
        if (e.host.keyState('1' + k) < 0) {
            g.debugPanel[k] = (g.debugPanel[k] + 1) % 2;
            g.debugRepeat = kDigitKeyRepeat;
        }
    }
    if (e.host.keyState('0') < 0)
        for (int& flag : g.debugPanel) flag = 0;
    return true;
}

void PrintLines(OverlayCanvas& canvas, int x, int y, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        canvas.text(x, y, line);
        y += canvas.lineHeight();
    }
}

std::string Label(const char* sjisLabel, long long n) { return std::string(sjisLabel) + ":" + std::to_string(n); }

}  // namespace

void DebugOverlay(Engine& e, OverlayCanvas& canvas) {
    if (e.files.m_nRomMode != 1) return;
    for (int panel : kPanelOrder)
        if (e.game.debugPanel[panel]) DrawPanel(e, canvas, panel);
    if (!ReadDigitKeys(e)) return;
    if (e.run.statisticsMode != 0) DrawFrameStatistics(e, canvas);
}

void DrawFrameStatistics(Engine& e, OverlayCanvas& canvas) {
    Game& g = e.game;
    const int mode = e.run.statisticsMode;
    const uint32_t t = e.host.tickMs() - e.timers.get(6);
    g.frameHistory[g.frameHistoryIndex] = t;
    g.frameHistoryIndex = (g.frameHistoryIndex + 1) % 60;
    const uint32_t* first = g.frameHistory;
    const uint32_t* last = g.frameHistory + 60;
    uint64_t sum = 0;
    int over = 0;
    for (const uint32_t* p = first; p != last; ++p) {
        sum += *p;
        over += *p > 16;
    }
    const int x = e.display.width, h = canvas.lineHeight();
    int y = 0;
    auto print = [&](long long n) {
        canvas.number(x, y, static_cast<int>(n), 0);
        y += h;
    };
    // Mode 1: the mean; 2: also the largest and the smallest entry; 3: also
    // this frame's time and the count of entries above 16 ms; 4 and above:
    // also the whole history in four columns below those five lines.
    print(static_cast<long long>(sum / 60));
    if (mode == 1) return;
    print(*std::max_element(first, last));
    print(*std::min_element(first, last));
    if (mode == 2) return;
    print(t);
    print(over);
    if (mode == 3) return;
    for (int i = 0; i < 60; ++i) canvas.number(180 + 25 * (i / 15), 50 + h * (i % 15), static_cast<int>(first[i]), 0);
    e.timers.set(5, t);
}

void DrawGeneralPanel(Engine& e, OverlayCanvas& canvas) {
    DrawWindowList(e.windows, e.text, 150, 0);
    for (const PanelText& column : padPanelText(e.input)) PrintLines(canvas, column.x, column.y, column.lines);
    const PanelText mouse = mousePanelText(e.input);
    PrintLines(canvas, mouse.x, mouse.y, mouse.lines);
    DrawTimerPanel(e, canvas, 190, 100);
    DrawFrameRateLine(e, canvas, 0, 210);
    const int h = canvas.lineHeight();
    canvas.text(0, 180, e.interp.currentScript);
    canvas.text(0, 180 + h, e.interp.previousScript);
    FlagWindowDraw(e.flagWindow, e.text, e.input, e.vars);
    canvas.text(0, 180 + 2 * h, Label(sj("リフレッシュレート").c_str(), e.game.refreshRate));
}

void DrawTimerPanel(Engine& e, OverlayCanvas& canvas, int x, int y) {
    canvas.box(x, y, 60, 100, kPanelBoxKeep, 0);
    const int h = canvas.lineHeight();
    canvas.text(x + 5, y + 5, sj("タイマー：") + std::to_string(e.timers.waitMode));
    for (int i = 0; i < FrameTimers::kSlots; ++i)
        canvas.text(x + 5, y + 5 + h * (i + 1), std::to_string(static_cast<int32_t>(e.timers.get(i))));
}

void DrawFrameRateLine(Engine& e, OverlayCanvas& canvas, int x, int y) {
    Game& g = e.game;
    const uint32_t now = e.host.tickMs();
    ++g.fpsCount;
    if (now - g.fpsMark > 1000) {
        g.fpsValue = g.fpsCount;
        g.fpsCount = 0;
        g.fpsMark = now;
    }
    char text[64];
    std::snprintf(text, sizeof text, "FPS:%03ld TC:%03lu", g.fpsValue, static_cast<unsigned long>(now));
    canvas.fill(x, y, 256, 10, canvas.textColour() == 0xFFFFFF ? 0x000000 : 0xFFFFFF);
    canvas.text(x, y, text);
}

}  // namespace qf
