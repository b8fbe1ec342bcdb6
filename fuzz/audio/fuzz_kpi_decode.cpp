// Arbitrary bytes as a sound file for the bundled KPI decoder: opening from
// memory, rendering, seeking and closing must never crash, hang or read
// outside the image, and what it reports must be playable.
#include <quillfen/kpi_plugin.h>

#include <cstdint>
#include <vector>

extern "C" const qf_KpiModule* kmp_GetTestModule(void);

// libsndfile gives up on some broken Ogg Vorbis headers without releasing the
// stream information it started: the library's leak, not the decoder's.
extern "C" const char* __lsan_default_suppressions() { return "leak:vorbis_info_init\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const qf_KpiModule* module = kmp_GetTestModule();
    // The image as the engine holds it: a block of its own, exactly this long.
    const std::vector<uint8_t> image(data, data + size);
    qf_KpiSoundInfo info{};
    qf_KpiHandle sound = module->openFromMemory(image.data(), static_cast<uint32_t>(image.size()), &info);
    if (!sound) return 0;
    if (info.channels < 1 || info.channels > 2 || info.bitsPerSample != 16 || info.samplesPerSecond < 1000 ||
        info.samplesPerSecond > 384000)
        __builtin_trap();
    const uint32_t frameBytes = info.channels * 2;
    std::vector<uint8_t> block(4097);
    // At most 32 blocks, one of them at an odd address and length, then a
    // seek into the middle, one past the end and back to the start.
    for (int i = 0; i < 32; ++i) {
        const bool odd = i == 1;
        const uint32_t want = odd ? 4095 : 4096;
        const uint32_t n = module->render(sound, block.data() + (odd ? 1 : 0), want);
        if (n > want || n % frameBytes != 0) __builtin_trap();
        if (n == 0) break;
    }
    module->seek(sound, info.lengthMs / 2);
    module->render(sound, block.data(), 4096);
    if (info.lengthMs < 0xFFFFFFFFu - 1000) {
        module->seek(sound, info.lengthMs + 1000);
        if (module->render(sound, block.data(), 4096) != 0) __builtin_trap();
    }
    module->seek(sound, 0);
    module->render(sound, block.data(), 4096);
    module->close(sound);
    return 0;
}
