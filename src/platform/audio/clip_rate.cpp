#include "platform/audio/clip_rate.h"

#include <samplerate.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/audio/resampler.h"
#include "platform/audio/wav_decode.h"

namespace qf {

bool convertToMixRate(PcmClip& clip) {
    clip.sourceRate = clip.sampleRate;
    if (clip.sampleRate == kMixRate) return true;
    if (clip.sampleRate <= 0) return false;
    const double ratio = static_cast<double>(kMixRate) / clip.sampleRate;
    const size_t inFrames = clip.frames();
    const double outLimit = std::ceil(static_cast<double>(inFrames) * ratio) + 1;
    if (outLimit > static_cast<double>(kMaxWavFrames)) return false;
    if (inFrames == 0) {
        clip.sampleRate = kMixRate;
        return true;
    }
    const size_t outFrames = static_cast<size_t>(outLimit);
    std::vector<float> in(clip.samples.size());
    src_short_to_float_array(clip.samples.data(), in.data(), static_cast<int>(in.size()));
    std::vector<float> out(outFrames * 2);
    SRC_DATA data{};
    data.data_in = in.data();
    data.data_out = out.data();
    data.input_frames = static_cast<long>(inFrames);
    data.output_frames = static_cast<long>(outFrames);
    data.src_ratio = ratio;
    if (src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 2) != 0) return false;
    const size_t made = static_cast<size_t>(data.output_frames_gen);
    clip.samples.resize(made * 2);
    // The library's own conversion back to 16 bits clips what overshoots.
    src_float_to_short_array(out.data(), clip.samples.data(), static_cast<int>(made * 2));
    clip.sampleRate = kMixRate;
    return true;
}

}  // namespace qf
