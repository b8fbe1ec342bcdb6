// MIDI music: one standard MIDI file image, played by the sound device's
// synthesizer, and paused while the game window lacks the keyboard focus.
// "#midiLoad", "#midiPlay", "#midiStop" and "#midiPause" are load(), play(),
// stop() and pause().
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/audio_services.h"
#include "platform/audio/sound_device.h"

namespace qf {

class MidiPlayer {
public:
    MidiPlayer(SoundDevice& device, AudioServices services);

    // Replaces the image by the named file; a missing or empty file leaves no
    // image. The piece playing goes on until the next play().
    void load(const std::string& fileSjis);
    // From the start of the loaded piece, looping.
    void play();
    void stop();
    // Toggles between paused and playing; does not touch the playing flag.
    void pause();
    // Once per frame with whether the main window has the keyboard focus:
    // while playing, pauses once on losing it and resumes once on regaining it.
    // True when it toggled the pause.
    bool focus(bool hasFocus);
    // At exit: stops the music and frees the image.
    void release();

    bool playing = false;        // set by play(), cleared by stop()
    bool pausedForFocus = false;
    std::vector<uint8_t> image;

private:
    SoundDevice& device_;
    AudioServices services_;
};

}  // namespace qf
