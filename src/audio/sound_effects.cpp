#include "audio/sound_effects.h"

#include <cstdio>

#include "platform/audio/wav_decode.h"

namespace qf {

std::string numberedWavName(int n) {
    char name[24];
    std::snprintf(name, sizeof name, "%02d.wav", n);
    return name;
}

SoundEffects::SoundEffects(SoundDevice& device, AudioServices services)
    : device_(device), services_(std::move(services)) {}

void SoundEffects::load(int n, const std::string& fileSjis) {
    if (n < 0 || n >= kSlots) return;
    std::vector<uint8_t>().swap(slots[n]);
    decoded_[n].reset();
    std::vector<uint8_t> image;
    if (!services_.readResource || !services_.readResource(fileSjis, image)) return;
    slots[n] = std::move(image);
    device_.stopEffect();
}

void SoundEffects::play(int n) {
    if (n < 0 || n >= kSlots) return;
    lastPlayed = n;
    if (!slots[n].empty()) {
        if (!decoded_[n]) decoded_[n] = decodeWavImage(slots[n].data(), slots[n].size(), nullptr);
        // A slot that holds no playable sound still stops the effect playing.
        device_.playEffect(decoded_[n]);
        return;
    }
    std::vector<uint8_t> image;
    if (!services_.readDiskFile || !services_.readDiskFile(numberedWavName(n), image)) return;
    device_.playEffect(decodeWavImage(image.data(), image.size(), nullptr));
}

void SoundEffects::stop() { device_.stopEffect(); }

void SoundEffects::clear() {
    for (int n = 0; n < kSlots; ++n) {
        std::vector<uint8_t>().swap(slots[n]);
        decoded_[n].reset();
    }
}

void SoundEffects::loadCommand(int slot, const std::optional<std::string>& fileSjis) {
    load(slot, fileSjis ? *fileSjis : numberedWavName(slot));
}

}  // namespace qf
