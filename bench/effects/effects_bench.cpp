// One frame of the effects window at its heaviest: every cell of the block
// dissolve still drawn, a fade in mid-course and a flash on a shown frame,
// over a 256 x 224 screen.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "gfx/effects.h"
#include "gfx/pictures.h"
#include "platform/headless/headless_host.h"

namespace qf {
namespace {

void BM_DissolveFadeAndFlashInOneFrame(benchmark::State& state) {
    HeadlessHost host;
    Pictures pics(host);
    std::vector<uint8_t> back(256 * 224 * 3);
    for (size_t i = 0; i < back.size(); ++i) back[i] = uint8_t(i * 7);
    pics.CreateScreen(back.data(), 256, 224);
    ScreenEffects fx;
    StartDissolve(fx, pics);
    StartFade(fx, pics, FadeKind::InBlack, 1);
    StartFlash(fx, pics, 2, 1, 255, 255, 255, 128);
    for (auto _ : state) {
        std::fill(fx.dissolveCounters.begin(), fx.dissolveCounters.end(), 1000);
        fx.dissolveActive = 1;
        fx.on = fx.fadeActive = 1;
        fx.fadeLevel = 128;
        fx.flashFramesLeft = 1;
        DrawEffects(fx, pics);
        benchmark::DoNotOptimize(back.data());
    }
}
BENCHMARK(BM_DissolveFadeAndFlashInOneFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qf
