#include "platform/audio/wav_decode.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>

#include "platform/audio/clip_rate.h"

namespace qf {

namespace {

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
void put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
    put16(p, v);
    put16(p + 2, v >> 16);
}

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagMsAdpcm = 2;
constexpr uint16_t kTagFloat = 3;
constexpr uint16_t kTagALaw = 6;
constexpr uint16_t kTagMuLaw = 7;
constexpr uint16_t kTagImaAdpcm = 0x11;
constexpr uint16_t kTagExtensible = 0xFFFE;

struct Format {
    uint16_t tag = 0;
    int channels = 0;
    uint32_t rate = 0;
    int blockAlign = 0;
    int bits = 0;
    bool extensible = false;
};

WavError readFormat(const uint8_t* p, uint32_t size, Format& f) {
    if (size < 16) return WavError::Truncated;
    f.tag = le16(p);
    f.channels = le16(p + 2);
    f.rate = le32(p + 4);
    f.blockAlign = le16(p + 12);
    f.bits = le16(p + 14);
    if (f.tag == kTagExtensible) {
        // cbSize, valid bits, channel mask, then the sub-format GUID whose
        // first two bytes are the plain format tag.
        if (size < 40) return WavError::Truncated;
        if (le16(p + 16) < 22) return WavError::BadFormat;
        f.tag = le16(p + 24);
        f.extensible = true;
    }
    if (f.channels != 1 && f.channels != 2) return WavError::Unsupported;
    switch (f.tag) {
    case kTagPcm:
        if (f.bits != 8 && f.bits != 16 && f.bits != 24 && f.bits != 32) return WavError::Unsupported;
        break;
    case kTagFloat:
        if (f.bits != 32 && f.bits != 64) return WavError::Unsupported;
        break;
    case kTagALaw:
    case kTagMuLaw:
        if (f.bits != 8) return WavError::Unsupported;
        break;
    case kTagImaAdpcm:
    case kTagMsAdpcm:
        // ADPCM keeps its block layout in the extra bytes of a plain header.
        if (f.bits != 4 || f.extensible) return WavError::Unsupported;
        break;
    default: return WavError::Unsupported;
    }
    if (f.rate < static_cast<uint32_t>(kMinWavRate) || f.rate > static_cast<uint32_t>(kMaxWavRate))
        return WavError::BadFormat;
    if (f.tag == kTagImaAdpcm || f.tag == kTagMsAdpcm) {
        // A block holds a header of four (IMA) or seven (MS) bytes per channel.
        if (f.blockAlign < (f.tag == kTagImaAdpcm ? 4 : 7) * f.channels + 1) return WavError::BadFormat;
    } else if (f.blockAlign != f.channels * f.bits / 8) {
        return WavError::BadFormat;
    }
    return WavError::None;
}

// A read-only libsndfile source over an image in memory.
struct MemorySource {
    const uint8_t* data;
    sf_count_t size;
    sf_count_t pos = 0;
};

sf_count_t memLength(void* user) { return static_cast<MemorySource*>(user)->size; }
sf_count_t memSeek(sf_count_t offset, int whence, void* user) {
    auto* m = static_cast<MemorySource*>(user);
    sf_count_t base = whence == SEEK_CUR ? m->pos : whence == SEEK_END ? m->size : 0;
    sf_count_t to = base + offset;
    if (to < 0 || to > m->size) return -1;
    m->pos = to;
    return m->pos;
}
sf_count_t memRead(void* ptr, sf_count_t count, void* user) {
    auto* m = static_cast<MemorySource*>(user);
    if (count <= 0 || m->pos >= m->size) return 0;
    sf_count_t n = std::min(count, m->size - m->pos);
    std::memcpy(ptr, m->data + m->pos, static_cast<size_t>(n));
    m->pos += n;
    return n;
}
sf_count_t memWrite(const void*, sf_count_t, void*) { return 0; }
sf_count_t memTell(void* user) { return static_cast<MemorySource*>(user)->pos; }

int16_t toSample(float v) {
    float s = std::nearbyint(v * 32768.0f);
    return static_cast<int16_t>(std::clamp(s, -32768.0f, 32767.0f));
}

// Decodes the checked format chunk and sound data, rebuilt as a minimal image
// whose sizes are all true, so the library never sees a wrong RIFF or data size.
// An extensible header becomes the plain one of its sub-format: the speaker
// mask and the rest of the sub-format's GUID change nothing for one or two
// channels, and writers fill them carelessly.
WavError decodeChunks(const uint8_t* fmt, uint32_t fmtSize, const Format& format, const uint8_t* sound,
                      size_t bytes, PcmClip& out) {
    bytes -= bytes % static_cast<size_t>(format.blockAlign);
    uint8_t plain[16];
    if (format.extensible) {
        std::memcpy(plain, fmt, 16);
        put16(plain, format.tag);
        fmt = plain;
        fmtSize = 16;
    }
    const size_t fmtPadded = fmtSize + (fmtSize & 1u);
    const size_t total = 12 + 8 + fmtPadded + 8 + bytes;
    if (total > UINT32_MAX) return WavError::TooLarge;
    std::vector<uint8_t> image(total, 0);
    uint8_t* p = image.data();
    std::memcpy(p, "RIFF", 4);
    put32(p + 4, static_cast<uint32_t>(total - 8));
    std::memcpy(p + 8, "WAVEfmt ", 8);
    put32(p + 16, fmtSize);
    std::memcpy(p + 20, fmt, fmtSize);
    p += 20 + fmtPadded;
    std::memcpy(p, "data", 4);
    put32(p + 4, static_cast<uint32_t>(bytes));
    if (bytes > 0) std::memcpy(p + 8, sound, bytes);

    out.sampleRate = static_cast<int>(format.rate);
    out.sourceRate = out.sampleRate;
    if (bytes == 0) return WavError::None;

    MemorySource source{image.data(), static_cast<sf_count_t>(image.size())};
    SF_VIRTUAL_IO io{memLength, memSeek, memRead, memWrite, memTell};
    SF_INFO info{};
    SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &source);
    if (file == nullptr) return WavError::BadFormat;
    WavError result = WavError::None;
    if ((info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_WAV || info.channels != format.channels ||
        info.samplerate != static_cast<int>(format.rate) || info.frames < 0) {
        result = WavError::BadFormat;
    } else if (static_cast<uint64_t>(info.frames) > kMaxWavFrames) {
        result = WavError::TooLarge;
    } else {
        // 8-bit data reads as (x − 128) / 128 and 16-bit as x / 32768, so the
        // scaling back gives those samples exactly.
        const int channels = info.channels;
        out.samples.reserve(static_cast<size_t>(info.frames) * 2);
        std::vector<float> chunk(4096 * static_cast<size_t>(channels));
        sf_command(file, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
        while (true) {
            sf_count_t got = sf_readf_float(file, chunk.data(), 4096);
            if (got <= 0) break;
            for (sf_count_t i = 0; i < got; ++i) {
                int16_t left = toSample(chunk[static_cast<size_t>(i * channels)]);
                int16_t right = channels == 2 ? toSample(chunk[static_cast<size_t>(i * 2 + 1)]) : left;
                out.samples.push_back(left);
                out.samples.push_back(right);
            }
            if (out.frames() >= static_cast<size_t>(info.frames)) break;
        }
        out.samples.resize(std::min(out.samples.size(), static_cast<size_t>(info.frames) * 2));
    }
    sf_close(file);
    if (result != WavError::None) out.samples.clear();
    return result;
}

}  // namespace

WavError decodeWav(const uint8_t* data, size_t size, PcmClip& out) {
    out = PcmClip{};
    if (data == nullptr || size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return WavError::NotWave;
    // Writers often get the RIFF size wrong; the image's own size bounds the walk.
    size_t end = size;
    Format format;
    const uint8_t* fmt = nullptr;
    uint32_t fmtSize = 0;
    size_t pos = 12;
    while (true) {
        if (end - pos < 8) return fmt ? WavError::NoData : WavError::NoFormat;
        const uint8_t* header = data + pos;
        uint32_t chunkSize = le32(header + 4);
        pos += 8;
        size_t available = end - pos;
        if (std::memcmp(header, "fmt ", 4) == 0) {
            if (chunkSize > available) return WavError::Truncated;
            WavError e = readFormat(data + pos, chunkSize, format);
            if (e != WavError::None) return e;
            fmt = data + pos;
            fmtSize = chunkSize;
        } else if (std::memcmp(header, "data", 4) == 0) {
            if (!fmt) return WavError::NoFormat;
            // A data chunk that claims more than the image holds is read as far as it goes.
            size_t bytes = chunkSize < available ? chunkSize : available;
            if (format.tag != kTagImaAdpcm && format.tag != kTagMsAdpcm &&
                bytes / static_cast<size_t>(format.blockAlign) > kMaxWavFrames)
                return WavError::TooLarge;
            return decodeChunks(fmt, fmtSize, format, data + pos, bytes, out);
        }
        // Other chunks are skipped; chunks are padded to an even size.
        if (chunkSize >= available) return fmt ? WavError::NoData : WavError::NoFormat;
        pos += chunkSize + (chunkSize & 1u);
        if (pos > end) return fmt ? WavError::NoData : WavError::NoFormat;
    }
}

const char* wavErrorText(WavError error) {
    switch (error) {
    case WavError::None: return "no error";
    case WavError::NotWave: return "not a RIFF WAVE file";
    case WavError::Truncated: return "the file ends inside a chunk header or the format chunk";
    case WavError::NoFormat: return "no format chunk before the sound data";
    case WavError::NoData: return "no sound data chunk";
    case WavError::Unsupported:
        return "only PCM (8 to 32 bits), float, IMA or MS ADPCM, A-law and µ-law in one or two channels is played";
    case WavError::BadFormat: return "impossible format values (rate, block alignment or undecodable data)";
    case WavError::TooLarge: return "the sound is longer than the engine plays";
    }
    return "unknown error";
}

std::shared_ptr<const PcmClip> decodeWavImage(const uint8_t* image, size_t size, std::string* error) {
    PcmClip clip;
    WavError e = decodeWav(image, size, clip);
    if (e == WavError::None && !convertToMixRate(clip)) e = WavError::TooLarge;
    if (e != WavError::None) {
        if (error) *error = wavErrorText(e);
        return nullptr;
    }
    return std::make_shared<const PcmClip>(std::move(clip));
}

std::shared_ptr<const PcmClip> loadWavFile(const std::string& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = "cannot open " + path;
        return nullptr;
    }
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0 || static_cast<uint64_t>(size) > kMaxWavFileBytes) {
        if (error) *error = "cannot read " + path;
        return nullptr;
    }
    in.seekg(0, std::ios::beg);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        if (error) *error = "cannot read " + path;
        return nullptr;
    }
    return decodeWavImage(bytes.data(), bytes.size(), error);
}

}  // namespace qf
