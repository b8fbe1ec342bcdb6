#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "gfx/pictures.h"
#include "map/map.h"
#include "map/map_draw.h"
#include "platform/headless/headless_host.h"

namespace qf {
namespace {

// One frame of a 16 × 14-cell view of 16-pixel chips over a 100 × 100 map:
// both layers stepped (refilled) and drawn, the upper layer visible with a
// third of its cells set, every buffer row at its own raster offset.
void BM_MapFrameBothLayers(benchmark::State& state) {
    HeadlessHost host;
    Pictures pics(host);
    constexpr int kSheetSlot = 3, kChip = 16;
    pics.MakeSlot(kSheetSlot, 8 * kChip, 8 * kChip);
    pics.SelectTarget(kSheetSlot);
    pics.FillTarget(90, 160, 70);
    std::vector<uint8_t> screen(256 * 224 * 3);
    pics.CreateScreen(screen.data(), 256, 224);
    pics.SelectTarget(Pictures::kBackBufferSlot);

    S_Map2 lower, upper(true);
    for (S_Map2* m : {&lower, &upper}) {
        m->SetView(16, 14, kChip, 1);
        m->SetChipPicture(kSheetSlot, 8 * kChip);
        ChipGrid grid{100, 100, {}};
        for (int i = 0; i < 100 * 100; ++i) grid.chips.push_back(m == &upper ? (i % 3 == 0 ? 5 + i % 7 : 0) : i % 64);
        m->SetChips(grid);
        for (int r = 0; r < m->m_nMapDrawBkH; ++r) m->SetRowOffset(r, (r * 5) % 23 - 11);
        m->m_nVecAutoX = 1;
        m->m_nVecAutoY = 1;
        m->Show();
    }
    for (auto _ : state) {
        lower.Step();
        upper.Step();
        DrawMap(lower, pics);
        DrawMap(upper, pics);
        benchmark::DoNotOptimize(pics.Slot(Pictures::kBackBufferSlot)->m_pBits);
    }
}
BENCHMARK(BM_MapFrameBothLayers)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qf
