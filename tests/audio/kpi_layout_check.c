/* The KPI decoder header's layout, compiled natively and for 32-bit x86:
 * the seven entries follow six pointer-wide words, which for 32-bit x86 are
 * the byte offsets 24 .. 48 decoders built there use. A wrong layout fails
 * to compile. */
#include <quillfen/kpi_plugin.h>

#define CHECK(name, cond) typedef char name[(cond) ? 1 : -1]

CHECK(initAfterSixWords, offsetof(qf_KpiModule, init) == 6 * sizeof(void*));
CHECK(seekLast, offsetof(qf_KpiModule, seek) == 12 * sizeof(void*));
CHECK(infoFirstThree, offsetof(qf_KpiSoundInfo, samplesPerSecond) == 0 && offsetof(qf_KpiSoundInfo, channels) == 4 &&
                          offsetof(qf_KpiSoundInfo, bitsPerSample) == 8);
#if defined(__i386__)
CHECK(i386Offsets, offsetof(qf_KpiModule, init) == 24 && offsetof(qf_KpiModule, deinit) == 28 &&
                       offsetof(qf_KpiModule, open) == 32 && offsetof(qf_KpiModule, openFromMemory) == 36 &&
                       offsetof(qf_KpiModule, close) == 40 && offsetof(qf_KpiModule, render) == 44 &&
                       offsetof(qf_KpiModule, seek) == 48);
#endif
