#include "platform/audio/stream_voice.h"

#include <samplerate.h>

namespace qf {

namespace {

// The fastest of libsamplerate's band-limited converters: from 22,050 Hz it
// keeps a 1 kHz tone over 110 dB clean and a refill of 50 ms well under a
// millisecond (bench/audio); whole sounds, converted once, use the medium one.
constexpr int kStreamConverter = SRC_SINC_FASTEST;
constexpr long kConvertChunkFrames = 1024;
const float kSilentFrame[2] = {0.0f, 0.0f};

}  // namespace

StreamVoice::StreamVoice(const WaveFormat& f, BlockDone done)
    : format(f), onDone(std::make_shared<const BlockDone>(std::move(done))) {
    if (format.sampleRate != kMixRate) {
        int error = 0;
        converter_ = src_new(kStreamConverter, format.channels == 1 ? 1 : 2, &error);
    }
}

StreamVoice::~StreamVoice() {
    if (converter_) src_delete(converter_);
}

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

void StreamVoice::convertInto(SRC_STATE* converter, const float* frames, long count, bool end, uint64_t& produced) {
    // Mono streams are converted as one channel and doubled afterwards.
    const int channels = format.channels == 1 ? 1 : 2;
    float out[2 * kConvertChunkFrames];
    const double ratio = static_cast<double>(kMixRate) / format.sampleRate;
    long used = 0;
    while (true) {
        SRC_DATA d{};
        d.data_in = frames ? frames + channels * used : kSilentFrame;
        d.input_frames = count - used;
        d.data_out = out;
        d.output_frames = kConvertChunkFrames;
        d.end_of_input = end ? 1 : 0;
        d.src_ratio = ratio;
        if (src_process(converter, &d) != 0) return;
        used += d.input_frames_used;
        for (long i = 0; i < d.output_frames_gen; ++i, ++produced) {
            // Frames already played are dropped; frames a flushed copy gave
            // out ahead of time are replaced by the real ones.
            if (produced < convertedStart_) continue;
            const uint64_t at = produced - convertedStart_;
            const float left = out[channels * i], right = out[channels * i + channels - 1];
            if (at < converted_.size() / 2) {
                converted_[2 * at] = left;
                converted_[2 * at + 1] = right;
            } else {
                converted_.push_back(left);
                converted_.push_back(right);
            }
        }
        if (d.output_frames_gen == 0 && used >= count) return;
    }
}

const float* StreamVoice::convertedFrame(uint64_t index) {
    if (index < convertedStart_) return kSilentFrame;
    if (index - convertedStart_ >= converted_.size() / 2 && !flushed_) {
        // Nothing is queued after what the converter holds back: a copy of it
        // is told the input ends here and gives those frames out.
        int error = 0;
        if (SRC_STATE* copy = src_clone(converter_, &error)) {
            uint64_t produced = produced_;
            convertInto(copy, nullptr, 0, true, produced);
            src_delete(copy);
        }
        flushed_ = true;
    }
    const uint64_t at = index - convertedStart_;
    if (at >= converted_.size() / 2) return kSilentFrame;
    return &converted_[2 * at];
}

void StreamVoice::queue(std::vector<int16_t> frames) {
    uint64_t n = frames.size() / 2;
    if (converter_ && n > 0) {
        std::vector<float> in(format.channels == 1 ? n : 2 * n);
        if (format.channels == 1) {
            for (size_t i = 0; i < n; ++i) in[i] = frames[2 * i] / 32768.0f;
        } else {
            src_short_to_float_array(frames.data(), in.data(), static_cast<int>(in.size()));
        }
        convertInto(converter_, in.data(), static_cast<long>(n), false, produced_);
        flushed_ = false;
    }
    blocks_.push_back(Block{std::move(frames), n});
    // A place that ran past the end of the last block carries into the new one.
    while (!blocks_.empty() && pos_.frame >= blocks_.front().frames) popFront();
}

void StreamVoice::dropAll() {
    pendingDone += static_cast<int>(blocks_.size());
    blocks_.clear();
    pos_ = {};
    if (converter_) src_reset(converter_);
    converted_.clear();
    convertedStart_ = produced_ = played_ = 0;
    flushed_ = false;
}

uint64_t StreamVoice::framesToBlockEnd() const {
    if (paused || blocks_.empty()) return 0;
    return pos_.framesUntil(blocks_.front().frames, static_cast<uint32_t>(format.sampleRate));
}

void StreamVoice::popFront() {
    pos_.frame -= blocks_.front().frames;
    blocks_.pop_front();
    ++pendingDone;
}

void StreamVoice::mixInto(float* mix, int frames) {
    if (paused) return;
    const uint32_t rate = static_cast<uint32_t>(format.sampleRate);
    const float gainLeft = channelGain(volume, 0), gainRight = channelGain(volume, 1);
    // Without a converter (the mixer's own rate, or none could be made) the
    // nearest source frame plays.
    const float scale = converter_ ? 32768.0f : 1.0f;
    for (int i = 0; i < frames && !blocks_.empty(); ++i) {
        float left, right;
        if (converter_) {
            const float* f = convertedFrame(played_);
            left = f[0];
            right = f[1];
        } else {
            const Block& b = blocks_.front();
            left = b.samples[2 * pos_.frame];
            right = b.samples[2 * pos_.frame + 1];
        }
        mix[2 * i] += left * scale * gainLeft;
        mix[2 * i + 1] += right * scale * gainRight;
        ++played_;
        pos_.advance(rate);
        while (!blocks_.empty() && pos_.frame >= blocks_.front().frames) popFront();
    }
    if (converter_ && played_ > convertedStart_) {
        const uint64_t done = std::min<uint64_t>(played_ - convertedStart_, converted_.size() / 2);
        converted_.erase(converted_.begin(), converted_.begin() + static_cast<long>(2 * done));
        convertedStart_ += done;
    }
}

}  // namespace qf
