// Arbitrary bytes as an object table. The first byte picks the map size and
// whether a labelled section is read (the label is the text of the second
// line); the rest is the table. Loading must refuse or read it without
// reading outside the input or allocating without bound, and the loaded
// objects must step, move and answer queries inside their grid.
#include <cstddef>
#include <cstdint>
#include <string>

#include "map/land.h"
#include "map/objects.h"
#include "platform/headless/headless_host.h"
#include "script/nil.h"
#include "script/random.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t pick = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string label;
    if (pick & 0x80) {
        const size_t first = text.find('\n');
        if (first != std::string::npos) label = text.substr(first + 1, text.find('\n', first + 1) - first - 1);
    }
    qf::HeadlessHost host;
    qf::MapObjects layer;
    int32_t flags[256] = {};
    flags[1] = 1;
    const int side = (pick & 0x3F) + 1;
    if (!layer.Load(host, text, label, 3, side, side, flags)) return 0;
    qf::LandGrid land;
    qf::ScriptRandom random;
    random.seed(pick);
    for (int id = 0; id < layer.count; id += 7) {
        layer.AddMove(id, id % 13);
        layer.AddMove(id, (id * 5) % 13);
    }
    layer.Set(1, 4, 1, side + 2, side + 2, 1, 1, qf::kNil);
    layer.StartScroll(3, -2, 20);
    for (int f = 0; f < 120; ++f) layer.Step(land, random, {side / 2, side / 2});
    volatile int seen = 0;
    for (int y = -1; y <= side + 3; ++y)
        for (int x = -1; x <= side + 3; ++x) seen = seen + layer.Query(x, y).id;
    layer.SetActive(layer.count - 1, 0);
    layer.Refresh(flags);
    layer.ResizeGrid(side / 2, side * 2);
    return 0;
}
