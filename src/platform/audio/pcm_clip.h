// Decoded sound held in memory: 16-bit signed stereo frames at the sound's own
// sample rate. Mono sources are stored with both channels equal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qf {

struct PcmClip {
    int sampleRate = 44100;
    // The rate the sound was recorded at; it differs from sampleRate once the
    // sound has been converted to the mixer's rate.
    int sourceRate = 44100;
    std::vector<int16_t> samples;  // left, right, left, right …

    size_t frames() const { return samples.size() / 2; }
};

}  // namespace qf
