// Arbitrary bytes as a WAV image in any encoding: the decoder must refuse or
// decode without reading outside the image, and a decoded sound must play
// through the mixer.
#include <cstdint>

#include "platform/audio/clip_rate.h"
#include "platform/audio/mixer.h"
#include "platform/audio/wav_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qf::PcmClip clip;
    qf::WavError e = qf::decodeWav(data, size, clip);
    if (e != qf::WavError::None) {
        if (!clip.samples.empty()) __builtin_trap();
        return 0;
    }
    if (clip.samples.size() % 2 != 0 || clip.sampleRate < qf::kMinWavRate || clip.sampleRate > qf::kMaxWavRate)
        __builtin_trap();
    // Brought to the mixer's rate, as effects are, it keeps its source rate.
    const int rate = clip.sampleRate;
    if (qf::convertToMixRate(clip) && (clip.sampleRate != qf::kMixRate || clip.sourceRate != rate)) __builtin_trap();
    // The same bytes written to a stream of the decoded format play too.
    static qf::Mixer mixer({});
    mixer.playEffect(std::make_shared<const qf::PcmClip>(std::move(clip)));
    auto stream = mixer.openStream(qf::WaveFormat{44100, 2, 16}, nullptr);
    if (stream && size >= 4) stream->write(data, size < qf::kMaxStreamBlockBytes ? size : qf::kMaxStreamBlockBytes);
    mixer.advanceMs(5);
    mixer.stopEffect();
    return 0;
}
