#include "platform/audio/wav_decode.h"

#include <cstring>
#include <fstream>

namespace qf {

namespace {

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagExtensible = 0xFFFE;

struct Format {
    uint16_t tag = 0;
    int channels = 0;
    uint32_t rate = 0;
    int blockAlign = 0;
    int bits = 0;
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
    }
    if (f.tag != kTagPcm) return WavError::Unsupported;
    if (f.channels != 1 && f.channels != 2) return WavError::Unsupported;
    if (f.bits != 8 && f.bits != 16) return WavError::Unsupported;
    if (f.rate < static_cast<uint32_t>(kMinWavRate) || f.rate > static_cast<uint32_t>(kMaxWavRate))
        return WavError::BadFormat;
    if (f.blockAlign != f.channels * f.bits / 8) return WavError::BadFormat;
    return WavError::None;
}

}  // namespace

WavError decodeWav(const uint8_t* data, size_t size, PcmClip& out) {
    out = PcmClip{};
    if (data == nullptr || size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return WavError::NotWave;
    // Writers often get the RIFF size wrong; the image's own size bounds the walk.
    size_t end = size;
    Format format;
    bool haveFormat = false;
    size_t pos = 12;
    while (true) {
        if (end - pos < 8) return haveFormat ? WavError::NoData : WavError::NoFormat;
        const uint8_t* header = data + pos;
        uint32_t chunkSize = le32(header + 4);
        pos += 8;
        size_t available = end - pos;
        if (std::memcmp(header, "fmt ", 4) == 0) {
            if (chunkSize > available) return WavError::Truncated;
            WavError e = readFormat(data + pos, chunkSize, format);
            if (e != WavError::None) return e;
            haveFormat = true;
        } else if (std::memcmp(header, "data", 4) == 0) {
            if (!haveFormat) return WavError::NoFormat;
            size_t bytes = chunkSize < available ? chunkSize : available;
            size_t frames = bytes / static_cast<size_t>(format.blockAlign);
            if (frames > kMaxWavFrames) return WavError::TooLarge;
            const uint8_t* s = data + pos;
            out.sampleRate = static_cast<int>(format.rate);
            out.samples.resize(frames * 2);
            int16_t* d = out.samples.data();
            for (size_t i = 0; i < frames; ++i) {
                int16_t left, right;
                if (format.bits == 8) {
                    left = static_cast<int16_t>((s[0] - 128) * 256);
                    right = format.channels == 2 ? static_cast<int16_t>((s[1] - 128) * 256) : left;
                } else {
                    left = static_cast<int16_t>(le16(s));
                    right = format.channels == 2 ? static_cast<int16_t>(le16(s + 2)) : left;
                }
                d[2 * i] = left;
                d[2 * i + 1] = right;
                s += format.blockAlign;
            }
            return WavError::None;
        }
        // Other chunks are skipped; chunks are padded to an even size.
        if (chunkSize >= available) return haveFormat ? WavError::NoData : WavError::NoFormat;
        pos += chunkSize + (chunkSize & 1u);
        if (pos > end) return haveFormat ? WavError::NoData : WavError::NoFormat;
    }
}

const char* wavErrorText(WavError error) {
    switch (error) {
    case WavError::None: return "no error";
    case WavError::NotWave: return "not a RIFF WAVE file";
    case WavError::Truncated: return "the file ends inside a chunk header or the format chunk";
    case WavError::NoFormat: return "no format chunk before the sound data";
    case WavError::NoData: return "no sound data chunk";
    case WavError::Unsupported: return "only 8- and 16-bit PCM in one or two channels is played";
    case WavError::BadFormat: return "impossible format values (rate or block alignment)";
    case WavError::TooLarge: return "the sound is longer than the engine plays";
    }
    return "unknown error";
}

std::shared_ptr<const PcmClip> decodeWavImage(const uint8_t* image, size_t size, std::string* error) {
    auto clip = std::make_shared<PcmClip>();
    WavError e = decodeWav(image, size, *clip);
    if (e != WavError::None) {
        if (error) *error = wavErrorText(e);
        return nullptr;
    }
    return clip;
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
