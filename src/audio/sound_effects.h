// The 32 sound-effect slots: each holds a whole WAV file image, played one at a
// time by the device's effect player (a new effect cuts off the one playing).
// The window sounds and the message window's typing sounds and voices use the
// slots too.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/audio_services.h"
#include "platform/audio/sound_device.h"

namespace qf {

class SoundEffects {
public:
    static constexpr int kSlots = 32;

    SoundEffects(SoundDevice& device, AudioServices services);

    // Empties slot n and reads the file into it. A file that does not exist
    // leaves the slot empty and the playing effect untouched; otherwise the
    // playing effect stops.
    void load(int n, const std::string& fileSjis);
    // Plays slot n; an empty slot plays the file "NN.wav" of the game directory
    // when it exists there (the archive is not consulted).
    void play(int n);
    void stop();
    // Empties every slot.
    void clear();

    // "#wavLoad": without a file name the slot's number names it ("03.wav").
    void loadCommand(int slot, const std::optional<std::string>& fileSjis);

    // The slot played last (-1 before the first play).
    int lastPlayed = -1;
    std::vector<uint8_t> slots[kSlots];

private:
    SoundDevice& device_;
    AudioServices services_;
    std::shared_ptr<const PcmClip> decoded_[kSlots];  // the slot's image, decoded at its first play
};

// The numbered file name of a slot or device: "%02d.wav".
std::string numberedWavName(int n);

}  // namespace qf
