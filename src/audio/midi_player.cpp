#include "audio/midi_player.h"

namespace qf {

MidiPlayer::MidiPlayer(SoundDevice& device, AudioServices services)
    : device_(device), services_(std::move(services)) {}

void MidiPlayer::load(const std::string& fileSjis) {
    std::vector<uint8_t>().swap(image);
    std::vector<uint8_t> bytes;
    if (!services_.readResource || !services_.readResource(fileSjis, bytes) || bytes.empty()) return;
    image = std::move(bytes);
    // A file the synthesizer refuses is ignored like any failure of the player.
    device_.loadMidi(image.data(), image.size(), nullptr);
}

void MidiPlayer::play() {
    playing = true;
    device_.playMidi();
}

void MidiPlayer::stop() {
    playing = false;
    device_.stopMidi();
}

void MidiPlayer::pause() { device_.toggleMidiPause(); }

bool MidiPlayer::focus(bool hasFocus) {
    if (!playing || hasFocus != pausedForFocus) return false;
    device_.toggleMidiPause();
    pausedForFocus = !hasFocus;
    return true;
}

void MidiPlayer::release() {
    stop();
    std::vector<uint8_t>().swap(image);
}

}  // namespace qf
