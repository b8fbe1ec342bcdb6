#include <benchmark/benchmark.h>

#include "app/engine.h"
#include "map/object_draw.h"
#include "map/objects.h"
#include "map/range.h"
#include "platform/headless/headless_host.h"

namespace qf {
namespace {

// 255 rows of wandering objects spread over a 64 × 64 map.
std::string wanderers() {
    std::string text;
    for (int i = 1; i <= 255; ++i) {
        if (i > 1) text += "\r\n";
        text += std::to_string(i) + ",o,-," + std::to_string((i * 7) % 64) + "," + std::to_string((i * 13) % 64) +
                "," + std::to_string(1 + i % 3) + ",1,0,0,-1,0";
    }
    return text;
}

// One frame of 255 objects: sliding, wandering (every object walking in
// turn), the walking animation, queued moves, and the drawing into the back
// buffer (the objects off the screen are clipped away).
void BM_ObjectsFrame(benchmark::State& state) {
    HeadlessHost host;
    Engine e(host);
    e.pictures.MakeSlot(3, 64, 16);
    e.pictures.SelectTarget(Pictures::kBackBufferSlot);
    MapObjects& layer = e.mapEvents.objects;
    int32_t flags[256] = {};
    if (!layer.Load(host, wanderers(), "", 3, 64, 64, flags)) state.SkipWithError("table refused");
    e.random.seed(1);
    // The view shows the 16 × 14 cells around (8, 7); every object also gets
    // queued moves so that sliding runs on all of them.
    layer.CentreOn(8, 7, 256, 224);
    const ObjectFrameInput player{32, 32};
    int frame = 0;
    for (auto _ : state) {
        if (frame++ % 64 == 0)
            for (int id = 1; id < layer.count; ++id) layer.AddMove(id, 1 + (id + frame) % 8);
        layer.Step(e.maps.land, e.random, player);
        DrawObjects(layer, e.pictures, 4);
        benchmark::DoNotOptimize(layer.objects.data());
    }
}
BENCHMARK(BM_ObjectsFrame)->Unit(benchmark::kMicrosecond);

// A movement range of radius 8 on a 64 × 64 map of mixed costs, with a route.
void BM_Range8(benchmark::State& state) {
    S_Map2 map;
    map.Reset(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) map.SetCell((x * 3 + y * 5) % 4, x, y);
    auto cost = [](int chip) { return chip == 3 ? 0 : chip + 1; };
    MovementRange range;
    for (auto _ : state) {
        range.Compute(8, 30, 30, map, cost);
        range.Walk(33, 34);
        benchmark::DoNotOptimize(range.grid.data());
    }
}
BENCHMARK(BM_Range8)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qf
