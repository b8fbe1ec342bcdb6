#include "platform/audio/clip_voice.h"

#include <algorithm>

namespace qf {

void ClipVoice::load(std::shared_ptr<const PcmClip> clip) {
    clip_ = std::move(clip);
    pos_ = {};
    end_ = 0;
    playing_ = false;
}

void ClipVoice::unload() { load(nullptr); }

void ClipVoice::play(uint64_t from, uint64_t to) {
    if (!clip_) return;
    uint64_t n = clip_->frames();
    pos_ = {};
    pos_.frame = std::min(from, n);
    end_ = std::min(to, n);
    playing_ = pos_.frame < end_;
}

void ClipVoice::seek(uint64_t frame) {
    if (!clip_) return;
    pos_ = {};
    pos_.frame = std::min<uint64_t>(frame, clip_->frames());
}

void ClipVoice::mixInto(float* mix, int frames) {
    if (!playing_ || !clip_) return;
    const int16_t* s = clip_->samples.data();
    const uint64_t n = clip_->frames();
    const uint32_t rate = static_cast<uint32_t>(clip_->sampleRate);
    for (int i = 0; i < frames; ++i) {
        if (pos_.frame >= end_) {
            playing_ = false;
            return;
        }
        const uint64_t f = pos_.frame;
        if (pos_.phase == 0 || rate == static_cast<uint32_t>(kMixRate)) {
            mix[2 * i] += s[2 * f];
            mix[2 * i + 1] += s[2 * f + 1];
        } else {
            // Past either end of the sound the curve runs towards silence.
            auto at = [&](int64_t k, int c) -> float {
                return k < 0 || static_cast<uint64_t>(k) >= n ? 0.0f : s[2 * k + c];
            };
            float t = pos_.fraction();
            int64_t k = static_cast<int64_t>(f);
            for (int c = 0; c < 2; ++c)
                mix[2 * i + c] += cubicInterpolate(at(k - 1, c), at(k, c), at(k + 1, c), at(k + 2, c), t);
        }
        pos_.advance(rate);
    }
    if (pos_.frame >= end_) playing_ = false;
}

}  // namespace qf
