// One output stream inside the mixer: the queue of written blocks, converted
// to 16-bit stereo, and the place playback has reached in the front block.
// Every member is guarded by the mixer's lock.
//
// Streams at another rate than the mixer's go through libsamplerate: each
// block is fed to the stream's converter as it is queued, and the converted
// frames wait in a queue of their own, numbered from the stream's start. The
// converter has no delay (output frame j stands at source time j × rate /
// kMixRate), so the place in the blocks (ResamplePosition, which alone decides
// when a block ends) and the converted frame to play always agree. The
// converter keeps back the last few frames of what it was fed until it sees
// what follows; when playback reaches them with nothing queued after, a copy
// of the converter is flushed for them, and the real converter goes on
// undisturbed when the next block comes.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "platform/audio/resampler.h"
#include "platform/audio/sound_device.h"

struct SRC_STATE_tag;  // libsamplerate's converter

namespace qf {

class StreamVoice {
public:
    StreamVoice(const WaveFormat& format, BlockDone onDone);
    ~StreamVoice();
    StreamVoice(const StreamVoice&) = delete;
    StreamVoice& operator=(const StreamVoice&) = delete;

    // Converts a written block to 16-bit stereo frames (outside the lock).
    static std::vector<int16_t> convert(const uint8_t* data, size_t bytes, const WaveFormat& format);

    void queue(std::vector<int16_t> frames);
    // Drops the queued blocks and counts each as done.
    void dropAll();
    int queued() const { return static_cast<int>(blocks_.size()); }

    // Output frames until the front block ends; 0 when nothing plays.
    uint64_t framesToBlockEnd() const;
    // Adds `frames` output frames (at most framesToBlockEnd()) into `mix`;
    // finished blocks are counted in pendingDone.
    void mixInto(float* mix, int frames);

    const WaveFormat format;
    const std::shared_ptr<const BlockDone> onDone;
    bool paused = false;
    bool closed = false;
    uint32_t volume = kFullVolume;
    int pendingDone = 0;

private:
    struct Block {
        std::vector<int16_t> samples;
        uint64_t frames = 0;
    };
    void popFront();
    // Runs `converter` on `frames` source frames (null: the end of the input)
    // and keeps what it gives from output frame `produced` on.
    void convertInto(::SRC_STATE_tag* converter, const float* frames, long count, bool end, uint64_t& produced);
    // The converted frame for output frame `index`, flushing a copy of the
    // converter when it has not been given out yet.
    const float* convertedFrame(uint64_t index);

    std::deque<Block> blocks_;
    ResamplePosition pos_;  // within the front block

    ::SRC_STATE_tag* converter_ = nullptr;  // null at the mixer's own rate
    std::deque<float> converted_;                // stereo frames from convertedStart_ on
    uint64_t convertedStart_ = 0;
    uint64_t produced_ = 0;                      // frames the real converter has given
    uint64_t played_ = 0;                        // output frames played since the start
    bool flushed_ = false;                       // converted_ ends with a copy's flush
};

}  // namespace qf
