// Standard MIDI files rendered by a software synthesizer (FluidSynth) with a
// General MIDI sound font. The synthesizer starts with the first load; when
// no sound font can be loaded, or the synthesizer fails, every call still
// works and the music is silent. Thread-safe: the device thread renders while
// the main thread loads, plays, stops and pauses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qf {

class MidiSynth {
public:
    // Sound fonts tried in order; the first one that loads is used.
    explicit MidiSynth(std::vector<std::string> soundFonts = defaultSoundFonts(), int sampleRate = 44100);
    ~MidiSynth();
    MidiSynth(const MidiSynth&) = delete;
    MidiSynth& operator=(const MidiSynth&) = delete;

    // The system's General MIDI font first (the default-GM link), then the fonts
    // Debian installs.
    static std::vector<std::string> defaultSoundFonts();
    // Tries `path` before the other sound fonts; takes effect when called
    // before the first load.
    void preferSoundFont(const std::string& path);

    // Keeps a copy of the file for the next play(); the piece playing goes on.
    // False, with the reason, when the image is not a standard MIDI file.
    bool load(const uint8_t* data, size_t size, std::string* error);
    // From the start of the loaded file, looping; a reset of every channel first.
    void play();
    void stop();
    // Between paused and playing, while a piece plays.
    void togglePause();

    bool audible() const;  // a synthesizer with a sound font is ready
    bool playing() const;  // started and not stopped (paused or not)
    bool paused() const;

    // Adds `frames` stereo frames, scaled to the 16-bit range, into `mix`.
    void mixInto(float* mix, int frames);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace qf
