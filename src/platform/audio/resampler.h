// The place of a voice in a source at another rate than the mixer's, kept as
// a whole frame index and a phase counted in 1/kMixRate of a source frame;
// each output frame adds the source rate to the phase. The place is therefore
// exact: a block of F source frames at rate R lasts exactly
// ceil(F × kMixRate / R) output frames counted from where the block began,
// with no drift over any length. Streams take their samples from libsamplerate
// (stream_voice.h) and use this place only for where blocks end; whole sounds
// are converted when loaded (clip_rate.h), and one handed over at another
// rate is interpolated with the four-point cubic (Catmull-Rom) curve below.
#pragma once

#include <cstdint>

namespace qf {

inline constexpr int kMixRate = 44100;

struct ResamplePosition {
    uint64_t frame = 0;  // source frame at or before the current output frame
    uint32_t phase = 0;  // 0 ≤ phase < kMixRate

    void advance(uint32_t rate) {
        phase += rate;
        if (phase >= static_cast<uint32_t>(kMixRate)) {
            frame += phase / kMixRate;
            phase %= kMixRate;
        }
    }
    // Output frames until the position reaches `endFrame` (0 when it already has).
    uint64_t framesUntil(uint64_t endFrame, uint32_t rate) const {
        if (frame >= endFrame) return 0;
        uint64_t units = (endFrame - frame) * kMixRate - phase;
        return (units + rate - 1) / rate;
    }
    float fraction() const { return static_cast<float>(phase) / kMixRate; }
};

// The curve through x0 (t = 0) and x1 (t = 1) with neighbours xm1 and x2.
inline float cubicInterpolate(float xm1, float x0, float x1, float x2, float t) {
    float a = 0.5f * (x2 - xm1) + 1.5f * (x0 - x1);
    float b = xm1 - 2.5f * x0 + 2.0f * x1 - 0.5f * x2;
    float c = 0.5f * (x1 - xm1);
    return ((a * t + b) * t + c) * t + x0;
}

// Linear gain of one channel of a wave-out volume word.
inline float channelGain(uint32_t volume, int channel) {
    uint32_t v = channel == 0 ? (volume & 0xFFFFu) : (volume >> 16);
    return static_cast<float>(v) / 65535.0f;
}

}  // namespace qf
