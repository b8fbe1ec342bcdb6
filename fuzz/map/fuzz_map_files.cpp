// Arbitrary bytes as a map file. The first byte picks the format (low two
// bits: raw chip file, ".flr" upper layer, "lmu" map, "lmu" summary; the next
// two bits the raw cell width 1..4); the rest is the file. Parsing must refuse
// or read it without reading outside the input or allocating without bound,
// and a parsed map must scroll and refill inside its buffers.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "map/map.h"
#include "map/map_files.h"

namespace {

int kNilOr(int given, int value) { return given ? value : qf::kNil; }

void exercise(qf::ChipGrid grid, uint8_t pick, const uint8_t* data, size_t size) {
    qf::S_Map2 map(pick & 0x10);
    map.SetView(kNilOr(pick & 0x20, 20), kNilOr(pick & 0x40, 9), kNilOr(pick & 0x80, 8), pick & 1);
    if (!map.SetChips(std::move(grid))) return;
    int a = size > 0 ? static_cast<int8_t>(data[0]) : 0;
    int b = size > 1 ? static_cast<int8_t>(data[size - 1]) : 0;
    map.SetRowOffset(a & 15, b * 1000);
    map.CentreOn(a, b);
    map.m_nScrX = a * 100003;
    map.m_nScrY = b * -99991;
    map.Refill();
    map.SetCell(a, b, a * b);
    volatile int sum = map.GetCell(b, a);
    for (int chip : map.buffer) sum = sum + chip;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t pick = data[0];
    const uint8_t* file = data + 1;
    const size_t fileSize = size - 1;
    std::string error;
    switch (pick & 3) {
    case 0:
    case 1: {
        qf::ChipGrid grid;
        int cellWidth = (pick & 3) == 1 ? 4 : 1 + ((pick >> 2) & 3);
        if (qf::parseRawChips(file, fileSize, cellWidth, grid, error)) exercise(std::move(grid), pick, file, fileSize);
        break;
    }
    case 2: {
        qf::LmuMap lmu;
        if (qf::parseLmu(file, fileSize, lmu, error)) {
            if (lmu.hasLower) exercise(qf::lmuLayerGrid(lmu, lmu.lower), pick, file, fileSize);
            if (lmu.hasUpper) exercise(qf::lmuLayerGrid(lmu, lmu.upper), pick ^ 0x10, file, fileSize);
        }
        break;
    }
    default: {
        qf::LmuSummary summary = qf::summariseLmu(file, fileSize);
        volatile uint32_t word = summary.chipWord;
        (void)word;
        break;
    }
    }
    return 0;
}
