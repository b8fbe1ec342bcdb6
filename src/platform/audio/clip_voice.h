// A decoded sound played from memory: the effect player and each numbered WAV
// player of the mixer is one such voice.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/audio/pcm_clip.h"
#include "platform/audio/resampler.h"

namespace qf {

class ClipVoice {
public:
    // Replaces the sound; stopped at its start.
    void load(std::shared_ptr<const PcmClip> clip);
    void unload();
    bool loaded() const { return clip_ != nullptr; }

    // Plays from source frame `from` up to `to` (both clamped to the sound).
    void play(uint64_t from, uint64_t to);
    void stop() { playing_ = false; }
    void seek(uint64_t frame);
    bool playing() const { return playing_; }

    uint64_t position() const { return pos_.frame; }
    uint64_t length() const { return clip_ ? clip_->frames() : 0; }
    int rate() const { return clip_ ? clip_->sampleRate : kMixRate; }

    // Adds up to `frames` output frames into `mix` (stereo, interleaved);
    // stops by itself at its end frame.
    void mixInto(float* mix, int frames);

private:
    std::shared_ptr<const PcmClip> clip_;
    ResamplePosition pos_;
    uint64_t end_ = 0;
    bool playing_ = false;
};

}  // namespace qf
