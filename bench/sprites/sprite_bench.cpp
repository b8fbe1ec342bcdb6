#include <benchmark/benchmark.h>

#include "app/engine.h"
#include "gfx/gauges.h"
#include "gfx/sprites.h"
#include "platform/headless/headless_host.h"

namespace qf {
namespace {

// One frame's drawing of 256 visible 16 × 16 sprites and 64 gauges.
void BM_SpritesAndGaugesFrame(benchmark::State& state) {
    HeadlessHost host;
    Engine e(host);
    e.pictures.MakeSlot(0, 64, 64);
    e.pictures.SelectTarget(0);
    e.pictures.FillTarget(200, 100, 50);
    e.pictures.SelectTarget(Pictures::kBackBufferSlot);
    e.sprites.m_nCount = 256;
    for (int n = 0; n < 256; ++n) {
        S_Sprite& s = e.sprites.m_spr[n];
        s.m_nView = 1;
        s.m_nPic = 0;
        s.m_nW = s.m_nH = 16;
        s.m_nSrcX = (n % 4) * 16;
        s.m_fX = static_cast<float>((n * 37) % 240);
        s.m_fY = static_cast<float>((n * 53) % 208);
        s.m_nAlpha = n % 2 ? 0 : 96;
    }
    for (int i = 0; i < Gauges::kCount; ++i) {
        Gauge& g = e.gauges.m_gauge[i];
        g = Gauge{};
        g.max = 100;
        g.cur = i;
        g.x = (i % 4) * 60;
        g.y = (i / 4) * 13;
        g.w = 50;
        g.h = 4;
        g.frame = 1;
        g.r = 255;
        g.keep = 64;
        g.view = kGaugeBar;
    }
    for (auto _ : state) {
        DrawSpriteBank(e.sprites, e.pictures);
        DrawGauges(e.gauges, e.text);
        benchmark::DoNotOptimize(e.display.backBuffer.data());
    }
}
BENCHMARK(BM_SpritesAndGaugesFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qf
