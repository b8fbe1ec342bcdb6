// One output stream inside the mixer: the queue of written blocks, converted
// to 16-bit stereo, and the place playback has reached in the front block.
// Every member is guarded by the mixer's lock.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "platform/audio/resampler.h"
#include "platform/audio/sound_device.h"

namespace qf {

class StreamVoice {
public:
    StreamVoice(const WaveFormat& format, BlockDone onDone);

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
    float sampleAt(int64_t k, int channel) const;
    void popFront();

    std::deque<Block> blocks_;
    ResamplePosition pos_;           // within the front block
    int16_t previous_[2] = {0, 0};   // last frame of the block before the front one
};

}  // namespace qf
