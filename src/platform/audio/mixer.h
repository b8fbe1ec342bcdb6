// The one mixer behind both hosts' sound: every output stream, the effect
// player, the numbered WAV players and the MIDI synthesizer are voices of it,
// summed into 44100 Hz 16-bit stereo. The SDL host calls render() from its
// audio callback; the headless host calls advanceMs() as its virtual clock
// moves. Either way the thread that renders is "the device thread": block
// completions are reported on it, between two stretches of mixing, without
// the mixer's lock held, and a report that writes the next block at once
// gets it played without a gap.
//
// Thread-safety: any thread may open streams, write, pause, change volumes
// and drive the players while one thread renders.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/midi_synth.h"
#include "platform/audio/resampler.h"
#include "platform/audio/sound_device.h"

namespace qf {

class Mixer final : public SoundDevice {
public:
    static constexpr int kRate = kMixRate;
    static constexpr int kChannels = 2;

    explicit Mixer(std::vector<std::string> soundFonts = MidiSynth::defaultSoundFonts());
    ~Mixer() override;
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // Fills `out` with `frames` interleaved stereo frames.
    void render(int16_t* out, int frames);
    // Moves the virtual clock on by `ms` and renders the frames that brings
    // (millisecond t ends at frame t × 44100 / 1000, rounded down), appending
    // them to `captured` when given. A block ends, and is reported, exactly at
    // its last frame.
    void advanceMs(uint32_t ms, std::vector<int16_t>* captured = nullptr);
    uint64_t framesRendered() const;

    // The player's master volume, applied to the finished mix: 0 (silent)
    // to 1 (unchanged, the default). Anything outside is clamped.
    void setMasterGain(float gain);
    float masterGain() const;
    // The General MIDI sound font to try before the system's.
    void preferSoundFont(const std::string& path);

    std::unique_ptr<WaveOutStream> openStream(const WaveFormat& format, BlockDone onDone) override;

    bool playEffect(std::shared_ptr<const PcmClip> clip) override;
    bool playEffectImage(const uint8_t* image, size_t size, std::string* error) override;
    bool playEffectFile(const std::string& path, std::string* error) override;
    void stopEffect() override;
    bool effectPlaying() const override;

    bool openWavePlayer(int id, std::shared_ptr<const PcmClip> clip) override;
    bool openWavePlayerFile(int id, const std::string& path, std::string* error) override;
    void closeWavePlayer(int id) override;
    void playWavePlayer(int id, int64_t from, int64_t to) override;
    void stopWavePlayer(int id) override;
    void seekWavePlayer(int id, int64_t frame) override;
    bool wavePlayerOpen(int id) const override;
    bool wavePlayerPlaying(int id) const override;
    int64_t wavePlayerPosition(int id) const override;
    int64_t wavePlayerLength(int id) const override;

    bool loadMidi(const uint8_t* data, size_t size, std::string* error) override;
    void playMidi() override;
    void stopMidi() override;
    void toggleMidiPause() override;
    bool midiAudible() const override;

    struct Core;

private:
    std::shared_ptr<Core> core_;
};

}  // namespace qf
