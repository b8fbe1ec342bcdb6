// RIFF WAVE images in every common encoding: integer PCM of 8, 16, 24 or 32
// bits, 32- or 64-bit float, IMA and Microsoft ADPCM, A-law and µ-law (all but
// ADPCM also under the extensible tag), mono or stereo, any rate from kMinWavRate to
// kMaxWavRate. The chunks are walked and checked here; the samples are decoded
// by libsndfile from memory. The decoded size is limited before anything is
// allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio/pcm_clip.h"

namespace qf {

enum class WavError {
    None,
    NotWave,         // no "RIFF" … "WAVE" header
    Truncated,       // a chunk header or the format chunk runs past the end
    NoFormat,        // no "fmt " chunk before the "data" chunk
    NoData,          // no "data" chunk
    Unsupported,     // an encoding, a sample size or a channel count not read here
    BadFormat,       // impossible values: rate out of range, a wrong block align, undecodable data
    TooLarge,        // more than kMaxWavFrames frames
};

inline constexpr int kMinWavRate = 1000;
inline constexpr int kMaxWavRate = 384000;
inline constexpr size_t kMaxWavFrames = size_t(1) << 26;  // 256 MiB decoded

// Decodes into 16-bit stereo at the image's own rate. A "data" chunk that
// claims more bytes than the image holds is read as far as it goes; a trailing
// partial frame is dropped.
WavError decodeWav(const uint8_t* data, size_t size, PcmClip& out);

// The reason as a UTF-8 message fragment.
const char* wavErrorText(WavError error);

// Decodes a WAV image and converts it to the mixer's rate (sourceRate keeps
// the image's own); null, with the reason in `error` when given, when it is refused.
std::shared_ptr<const PcmClip> decodeWavImage(const uint8_t* image, size_t size, std::string* error);
// Reads and decodes a WAV file from disk (at most kMaxWavFileBytes).
std::shared_ptr<const PcmClip> loadWavFile(const std::string& path, std::string* error);

inline constexpr size_t kMaxWavFileBytes = size_t(512) << 20;

}  // namespace qf
