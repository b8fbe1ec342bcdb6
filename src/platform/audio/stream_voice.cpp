#include "platform/audio/stream_voice.h"

namespace qf {

StreamVoice::StreamVoice(const WaveFormat& f, BlockDone done)
    : format(f), onDone(std::make_shared<const BlockDone>(std::move(done))) {}

std::vector<int16_t> StreamVoice::convert(const uint8_t* data, size_t bytes, const WaveFormat& f) {
    const size_t align = static_cast<size_t>(f.blockAlign());
    const size_t frames = bytes / align;
    std::vector<int16_t> out(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        const uint8_t* s = data + i * align;
        int16_t left, right;
        if (f.bitsPerSample == 8) {
            left = static_cast<int16_t>((s[0] - 128) * 256);
            right = f.channels == 2 ? static_cast<int16_t>((s[1] - 128) * 256) : left;
        } else {
            left = static_cast<int16_t>(s[0] | s[1] << 8);
            right = f.channels == 2 ? static_cast<int16_t>(s[2] | s[3] << 8) : left;
        }
        out[2 * i] = left;
        out[2 * i + 1] = right;
    }
    return out;
}

void StreamVoice::queue(std::vector<int16_t> frames) {
    uint64_t n = frames.size() / 2;
    blocks_.push_back(Block{std::move(frames), n});
    // A place that ran past the end of the last block carries into the new one.
    while (!blocks_.empty() && pos_.frame >= blocks_.front().frames) popFront();
}

void StreamVoice::dropAll() {
    pendingDone += static_cast<int>(blocks_.size());
    blocks_.clear();
    pos_ = {};
    previous_[0] = previous_[1] = 0;
}

uint64_t StreamVoice::framesToBlockEnd() const {
    if (paused || blocks_.empty()) return 0;
    return pos_.framesUntil(blocks_.front().frames, static_cast<uint32_t>(format.sampleRate));
}

float StreamVoice::sampleAt(int64_t k, int c) const {
    if (k < 0) return previous_[c];
    uint64_t index = static_cast<uint64_t>(k);
    const Block* last = nullptr;
    for (const Block& b : blocks_) {
        if (index < b.frames) return b.samples[2 * index + c];
        index -= b.frames;
        if (b.frames) last = &b;
    }
    // Beyond what is queued the last sample holds.
    return last ? last->samples[2 * (last->frames - 1) + c] : 0.0f;
}

void StreamVoice::popFront() {
    Block& b = blocks_.front();
    if (b.frames) {
        previous_[0] = b.samples[2 * (b.frames - 1)];
        previous_[1] = b.samples[2 * (b.frames - 1) + 1];
    }
    pos_.frame -= b.frames;
    blocks_.pop_front();
    ++pendingDone;
}

void StreamVoice::mixInto(float* mix, int frames) {
    if (paused) return;
    const uint32_t rate = static_cast<uint32_t>(format.sampleRate);
    const float gainLeft = channelGain(volume, 0), gainRight = channelGain(volume, 1);
    for (int i = 0; i < frames && !blocks_.empty(); ++i) {
        const Block& b = blocks_.front();
        float left, right;
        if (pos_.phase == 0) {
            left = b.samples[2 * pos_.frame];
            right = b.samples[2 * pos_.frame + 1];
        } else {
            const int64_t k = static_cast<int64_t>(pos_.frame);
            const float t = pos_.fraction();
            left = cubicInterpolate(sampleAt(k - 1, 0), sampleAt(k, 0), sampleAt(k + 1, 0), sampleAt(k + 2, 0), t);
            right = cubicInterpolate(sampleAt(k - 1, 1), sampleAt(k, 1), sampleAt(k + 1, 1), sampleAt(k + 2, 1), t);
        }
        mix[2 * i] += left * gainLeft;
        mix[2 * i + 1] += right * gainRight;
        pos_.advance(rate);
        while (!blocks_.empty() && pos_.frame >= blocks_.front().frames) popFront();
    }
}

}  // namespace qf
