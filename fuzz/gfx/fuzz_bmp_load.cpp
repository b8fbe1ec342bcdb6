// Arbitrary bytes as a BMP file: loading must refuse or decode them, never
// read outside the input or allocate without bound.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "gfx/dib.h"
#include "platform/headless/headless_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qf::HeadlessHost host;
    qf::S_Dib dib;
    size_t read = dib.LoadFromMemory(host, data, size, "fuzz.bmp", int(size & 1));
    if (read != 0 && dib.HasPixels()) {
        // Touch every pixel so that a wrong size shows up under the sanitizer.
        volatile uint8_t sum = 0;
        for (size_t i = 0; i < dib.PixelCount() * 3; ++i) sum = uint8_t(sum + dib.m_pBits[i]);
        dib.Turn(int(size % 8));
    }
    return 0;
}
