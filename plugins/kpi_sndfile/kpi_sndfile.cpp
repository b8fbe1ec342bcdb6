// The bundled KPI music decoder: MP3, FLAC, WAV, Ogg Vorbis and whatever else
// libsndfile reads, opened from memory or from a path, rendered as 16-bit
// samples in one or two channels. Sounds with more channels keep their first
// two. Past the end of a sound it renders silence.
#include <quillfen/kpi_plugin.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int kMaxChannels = 2;
constexpr int kMaxSourceChannels = 64;
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 384000;
// Frames decoded per library call when channels have to be dropped.
constexpr sf_count_t kScratchFrames = 1024;

struct Sound {
    SNDFILE* file = nullptr;
    // The memory image the decoder reads through its virtual file.
    const uint8_t* data = nullptr;
    sf_count_t size = 0;
    sf_count_t position = 0;
    SF_INFO info{};
    int outChannels = 0;
    bool ended = false;
    std::vector<int16_t> scratch;
};

sf_count_t memoryLength(void* user) { return static_cast<Sound*>(user)->size; }

sf_count_t memorySeek(sf_count_t offset, int whence, void* user) {
    Sound& s = *static_cast<Sound*>(user);
    sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? s.position : whence == SEEK_END ? s.size : -1;
    if (base < 0) return -1;
    if (offset > s.size - base || offset < -base) return -1;
    s.position = base + offset;
    return s.position;
}

sf_count_t memoryRead(void* out, sf_count_t count, void* user) {
    Sound& s = *static_cast<Sound*>(user);
    if (count <= 0) return 0;
    const sf_count_t n = std::min(count, s.size - s.position);
    if (n <= 0) return 0;
    std::memcpy(out, s.data + s.position, static_cast<size_t>(n));
    s.position += n;
    return n;
}

sf_count_t memoryWrite(const void*, sf_count_t, void*) { return 0; }

sf_count_t memoryTell(void* user) { return static_cast<Sound*>(user)->position; }

// Checks what the library found and reports it; frees the sound when it
// cannot be played.
qf_KpiHandle finishOpen(Sound* s, qf_KpiSoundInfo* info) {
    const SF_INFO& in = s->info;
    if (!s->file || in.channels < 1 || in.channels > kMaxSourceChannels || in.samplerate < kMinRate ||
        in.samplerate > kMaxRate || in.frames < 0) {
        if (s->file) sf_close(s->file);
        delete s;
        return nullptr;
    }
    // Float and compressed sources that overshoot are clipped, not wrapped.
    sf_command(s->file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    s->outChannels = std::min(in.channels, kMaxChannels);
    if (in.channels > kMaxChannels) s->scratch.resize(static_cast<size_t>(kScratchFrames * in.channels));
    if (info) {
        std::memset(info, 0, sizeof *info);
        info->samplesPerSecond = static_cast<uint32_t>(in.samplerate);
        info->channels = static_cast<uint32_t>(s->outChannels);
        info->bitsPerSample = 16;
        const double ms = static_cast<double>(in.frames) * 1000.0 / in.samplerate;
        info->lengthMs = ms >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(ms);
    }
    return s;
}

// Decodes up to `frames` frames of the output channels into `out`.
sf_count_t readFrames(Sound& s, int16_t* out, sf_count_t frames) {
    if (s.info.channels <= kMaxChannels) return sf_readf_short(s.file, out, frames);
    sf_count_t done = 0;
    while (done < frames) {
        const sf_count_t want = std::min(kScratchFrames, frames - done);
        const sf_count_t got = sf_readf_short(s.file, s.scratch.data(), want);
        if (got <= 0) break;
        for (sf_count_t f = 0; f < got; ++f)
            for (int c = 0; c < kMaxChannels; ++c)
                out[(done + f) * kMaxChannels + c] = s.scratch[static_cast<size_t>(f * s.info.channels + c)];
        done += got;
        if (got < want) break;
    }
    return done;
}

void QF_KPI_CALL closeSound(qf_KpiHandle handle) {
    Sound* s = static_cast<Sound*>(handle);
    if (!s) return;
    if (s->file) sf_close(s->file);
    delete s;
}

qf_KpiHandle QF_KPI_CALL openFromMemory(const uint8_t* data, uint32_t size, qf_KpiSoundInfo* info) {
    if (!data || size == 0) return nullptr;
    Sound* s = new (std::nothrow) Sound;
    if (!s) return nullptr;
    s->data = data;
    s->size = size;
    SF_VIRTUAL_IO io{memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};
    s->file = sf_open_virtual(&io, SFM_READ, &s->info, s);
    return finishOpen(s, info);
}

qf_KpiHandle QF_KPI_CALL openFile(const char* path, qf_KpiSoundInfo* info) {
    if (!path) return nullptr;
    Sound* s = new (std::nothrow) Sound;
    if (!s) return nullptr;
    s->file = sf_open(path, SFM_READ, &s->info);
    return finishOpen(s, info);
}

uint32_t QF_KPI_CALL render(qf_KpiHandle handle, uint8_t* buffer, uint32_t size) {
    Sound* s = static_cast<Sound*>(handle);
    if (!buffer || size == 0) return 0;
    if (!s) {
        std::memset(buffer, 0, size);
        return 0;
    }
    const uint32_t frameBytes = static_cast<uint32_t>(s->outChannels) * 2u;
    const sf_count_t frames = size / frameBytes;
    sf_count_t got = 0;
    if (!s->ended && frames > 0) {
        // The block is written as aligned 16-bit samples, then copied when
        // the caller's buffer is not aligned for them.
        if (reinterpret_cast<uintptr_t>(buffer) % alignof(int16_t) == 0) {
            got = readFrames(*s, reinterpret_cast<int16_t*>(buffer), frames);
        } else {
            std::vector<int16_t> aligned(static_cast<size_t>(frames * s->outChannels));
            got = readFrames(*s, aligned.data(), frames);
            if (got > 0) std::memcpy(buffer, aligned.data(), static_cast<size_t>(got) * frameBytes);
        }
        if (got < 0) got = 0;
        if (got < frames) s->ended = true;
    }
    const uint32_t filled = static_cast<uint32_t>(got) * frameBytes;
    std::memset(buffer + filled, 0, size - filled);
    return filled;
}

uint32_t QF_KPI_CALL seek(qf_KpiHandle handle, uint32_t milliseconds) {
    Sound* s = static_cast<Sound*>(handle);
    if (!s) return 0;
    const sf_count_t rate = s->info.samplerate;
    sf_count_t frame = static_cast<sf_count_t>(milliseconds) * rate / 1000;
    if (frame >= s->info.frames) {
        s->ended = true;
        return milliseconds;
    }
    if (sf_seek(s->file, frame, SEEK_SET) < 0) {
        // A source that cannot seek stays where it is.
        return 0;
    }
    s->ended = false;
    return milliseconds;
}

const char* const kExtensions[] = {".mp3", ".flac", ".wav", ".ogg", ".aif", ".aiff", ".au", nullptr};

const qf_KpiModule kModule = {
    1,
    1,
    "Quillfen",
    "libsndfile decoder (MP3, FLAC, WAV, Ogg Vorbis)",
    kExtensions,
    1,
    nullptr,
    nullptr,
    openFile,
    openFromMemory,
    closeSound,
    render,
    seek,
};

}  // namespace

extern "C" QF_KPI_EXPORT const qf_KpiModule* QF_KPI_CALL kmp_GetTestModule(void) { return &kModule; }
