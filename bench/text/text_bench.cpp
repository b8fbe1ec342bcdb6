// Text and frames as a frame draws them: outlined lines, numbers, boxes,
// size changes, the flag window and an animated frame.
#include <benchmark/benchmark.h>

#include "app/engine.h"
#include "app/game.h"
#include "gfx/text_output.h"
#include "platform/headless/headless_host.h"
#include "platform/sjis.h"
#include "wnd/flag_window.h"
#include "wnd/frame.h"
#include "app/text_and_frames.h"

namespace qf {
namespace {

struct Scene {
    HeadlessHost host;
    Engine e{host};
    Scene() {
        RegisterStartupWindows(e);
        installTextAndFrames(e);
        e.pictures.SelectTarget(Pictures::kBackBufferSlot);
    }
};

void BM_OutlinedLine(benchmark::State& state) {
    Scene s;
    const std::string& line = sj("メッセージの一行 Message line 0123");
    for (auto _ : state) {
        SetTextPos(s.e.text, 16, 160);
        PrintLine(s.e.text, line);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OutlinedLine);

void BM_RightAlignedNumber(benchmark::State& state) {
    Scene s;
    for (auto _ : state) {
        SetTextPos(s.e.text, 200, 20);
        PrintNumber(s.e.text, -1234567, 0);
    }
}
BENCHMARK(BM_RightAlignedNumber);

void BM_FullScreenBoxWithOutline(benchmark::State& state) {
    Scene s;
    for (auto _ : state) Box(s.e.text, 0, 0, 256, 224, 128, 1);
}
BENCHMARK(BM_FullScreenBoxWithOutline);

void BM_SizeChangeAndBack(benchmark::State& state) {
    Scene s;
    for (auto _ : state) {
        SetFontSize(s.e.text, 5);
        SetFontSize(s.e.text, 10);
    }
}
BENCHMARK(BM_SizeChangeAndBack);

void BM_FlagWindowDraw(benchmark::State& state) {
    Scene s;
    OpenFlagWindow(s.e.flagWindow, s.e.windows);
    for (auto _ : state) FlagWindowDraw(s.e.flagWindow, s.e.text, s.e.input, s.e.vars);
}
BENCHMARK(BM_FlagWindowDraw);

void BM_MessageFrameOpening(benchmark::State& state) {
    Scene s;
    S_Frame f;
    f.SetRect(16, 152, 224, 64);
    f.SetColour(0, 0, 0, 64);
    for (auto _ : state) {
        f.Hide();
        f.Open(kFrameOpenFromCentre, 8);
        for (int i = 0; i < 16; ++i) f.Draw(s.e.text, s.e.looks.images);
    }
    state.SetItemsProcessed(state.iterations() * 16);
}
BENCHMARK(BM_MessageFrameOpening);

}  // namespace
}  // namespace qf
