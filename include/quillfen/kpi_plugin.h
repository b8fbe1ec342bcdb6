/* Quillfen KPI music decoder plug-in binary interface (Linux form).
 *
 * A KPI decoder is a shared library (any file name; games name ".kpi" files)
 * exporting, with C linkage,
 *
 *   const qf_KpiModule* kmp_GetTestModule(void)
 *
 * which returns a module record that stays valid until the library is
 * unloaded, or null when the library cannot serve. Plain structs, usable from
 * C and C++; pointers are native. The record starts with six pointer-wide
 * words, so its seven entries sit at 6 .. 12 pointer widths: byte offsets 24,
 * 28, 32, 36, 40, 44 and 48 built for 32-bit x86, 48 .. 96 on x86-64.
 *
 * How the engine uses a decoder:
 *  - after loading the library it calls init (when not null); before
 *    unloading it, close for the sound it holds and deinit (when not null);
 *  - it opens one sound at a time, from memory (openFromMemory) and, when that
 *    yields no handle, by file name (open). Both fill the sound information
 *    and return a non-null handle on success. The memory block stays valid and
 *    unchanged until close returns for that handle; the decoder may read it
 *    without copying. The file name given to open is a path the engine has
 *    already opened beneath the game directory; it stays valid until close;
 *  - render writes exactly `size` bytes of PCM in the reported format
 *    (interleaved little-endian samples, 8-bit unsigned or 16-bit signed, one
 *    or two channels) and returns how many of them are sound; the engine plays
 *    the whole block whatever the result, so a decoder writes silence past the
 *    end of its sound;
 *  - seek moves to a position in milliseconds from the start and returns the
 *    position reached (a position past the end renders silence).
 * All entries are called on one thread at a time: the engine serialises
 * them, possibly from its sound thread.
 */
#ifndef QUILLFEN_KPI_PLUGIN_H
#define QUILLFEN_KPI_PLUGIN_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Calling convention of the entries: the Win32 standard convention on 32-bit
 * x86, the platform's own convention elsewhere. */
#if defined(__i386__) && (defined(__GNUC__) || defined(__clang__))
#define QF_KPI_CALL __attribute__((stdcall))
#elif defined(_M_IX86)
#define QF_KPI_CALL __stdcall
#else
#define QF_KPI_CALL
#endif

#if defined(_WIN32)
#define QF_KPI_EXPORT __declspec(dllexport)
#else
#define QF_KPI_EXPORT __attribute__((visibility("default")))
#endif

#define QF_KPI_ENTRY_NAME "kmp_GetTestModule"

/* What an open entry reports about the sound. The engine reads the first
 * three fields; the decoder may fill the rest. */
typedef struct qf_KpiSoundInfo {
    uint32_t samplesPerSecond;
    uint32_t channels;
    uint32_t bitsPerSample;  /* 8 or 16 */
    uint32_t lengthMs;       /* 0 when unknown */
    uint32_t reserved[4];
} qf_KpiSoundInfo;

/* A decoder's open sound; null means none. */
typedef void* qf_KpiHandle;

typedef void(QF_KPI_CALL* qf_KpiInit_fn)(void);
typedef void(QF_KPI_CALL* qf_KpiDeinit_fn)(void);
typedef qf_KpiHandle(QF_KPI_CALL* qf_KpiOpen_fn)(const char* path, qf_KpiSoundInfo* info);
typedef qf_KpiHandle(QF_KPI_CALL* qf_KpiOpenFromMemory_fn)(const uint8_t* data, uint32_t size, qf_KpiSoundInfo* info);
typedef void(QF_KPI_CALL* qf_KpiClose_fn)(qf_KpiHandle sound);
typedef uint32_t(QF_KPI_CALL* qf_KpiRender_fn)(qf_KpiHandle sound, uint8_t* buffer, uint32_t size);
typedef uint32_t(QF_KPI_CALL* qf_KpiSeek_fn)(qf_KpiHandle sound, uint32_t milliseconds);

typedef struct qf_KpiModule {
    uintptr_t interfaceVersion;
    uintptr_t pluginVersion;
    const char* copyright;
    const char* description;
    const char* const* extensions; /* e.g. ".mp3", ".flac", then null */
    uintptr_t reentrant;           /* non-zero: several sounds may be open at once */
    qf_KpiInit_fn init;            /* may be null */
    qf_KpiDeinit_fn deinit;        /* may be null */
    qf_KpiOpen_fn open;
    qf_KpiOpenFromMemory_fn openFromMemory;
    qf_KpiClose_fn close;
    qf_KpiRender_fn render;
    qf_KpiSeek_fn seek;
} qf_KpiModule;

typedef const qf_KpiModule*(QF_KPI_CALL* qf_KpiGetModule_fn)(void);

#ifdef __cplusplus
}
#endif

#endif /* QUILLFEN_KPI_PLUGIN_H */
