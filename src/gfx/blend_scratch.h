// Work rows of the row blend, owned by the picture table so that draws never
// allocate per pixel and two tables never share them.
#pragma once

#include <cstdint>

namespace qf {

bool cpuHasAvx2();

struct BlendScratch {
    bool useAvx2 = cpuHasAvx2();  // the row loops may use AVX2 on this processor
    static constexpr int kChunkPixels = 256;
    static constexpr int kChunkBytes = kChunkPixels * 3;

    uint32_t patternKey = 0xFFFFFFFFu;  // transparent colour the pattern repeats
    alignas(32) uint8_t keyPattern[kChunkBytes] = {};
    // Byte-wise equality with the pattern, with two guard bytes on each side.
    alignas(32) uint8_t equal[kChunkBytes + 4] = {};
};

}  // namespace qf
