// The sound device as the engine sees it: PCM output streams in the wave-out
// shape, a one-at-a-time effect player, numbered WAV players for the MCI
// devices, and a MIDI player. Both hosts hand the engine the same
// implementation (the mixer), so a headless run produces the samples a real
// sound card would have played.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/audio/pcm_clip.h"

namespace qf {

// Format of the blocks written to a stream: PCM, 8-bit unsigned or 16-bit
// signed little-endian samples, channels interleaved.
struct WaveFormat {
    int sampleRate = 44100;
    int channels = 2;
    int bitsPerSample = 16;

    int blockAlign() const { return channels * bitsPerSample / 8; }
    int averageBytesPerSecond() const { return blockAlign() * sampleRate; }
};

inline constexpr int kMinStreamRate = 1000;
inline constexpr int kMaxStreamRate = 384000;

// Result codes of WaveOutStream::write; the numbers are those a wave-out
// device reports for the same faults.
inline constexpr int kWaveOk = 0;
inline constexpr int kWaveInvalidHandle = 5;  // the stream no longer exists
inline constexpr int kWaveInvalidBlock = 11;  // no whole frame in the block, or too large

// Blocks larger than this are refused (about 10 s of 48 kHz stereo).
inline constexpr size_t kMaxStreamBlockBytes = 2u << 20;

// Per-stream volume as a wave-out device takes it: left channel in the low 16
// bits, right channel in the high 16 bits, 0xFFFF full, 0 silent, linear.
inline constexpr uint32_t kFullVolume = 0xFFFFFFFFu;

class WaveOutStream {
public:
    // Closing drops the queued blocks; nothing is reported for them.
    virtual ~WaveOutStream() = default;

    // Copies the block and queues it behind the blocks written before it.
    // A trailing partial frame is not played. kWaveOk or a failure code.
    virtual int write(const uint8_t* data, size_t bytes) = 0;
    // Holds playback where it stands; written blocks wait.
    virtual void pause() = 0;
    // Resumes after pause().
    virtual void restart() = 0;
    // Drops every queued block; each is reported done, as a played block is.
    virtual void reset() = 0;
    virtual void setVolume(uint32_t volume) = 0;
    virtual uint32_t volume() const = 0;
    // Blocks written and not yet reported done.
    virtual int queuedBlocks() const = 0;
};

// Called once per finished block, in the order the blocks were written, on the
// device's thread (the thread that renders or advances the mixer). Never
// called with a device lock held: it may write the next block at once.
using BlockDone = std::function<void()>;

class SoundDevice {
public:
    // Numbered WAV players: 0..31 serve the numbered MCI devices, the rest the
    // devices that MCI command strings open.
    static constexpr int kWavePlayerCount = 64;

    virtual ~SoundDevice() = default;

    // --- output streams
    // Null when the format is not 8/16-bit mono/stereo PCM within the rate limits.
    virtual std::unique_ptr<WaveOutStream> openStream(const WaveFormat& format, BlockDone onDone) = 0;

    // --- the effect player: one sound at a time; starting one stops the one
    // playing, also when the new one is refused.
    virtual bool playEffect(std::shared_ptr<const PcmClip> clip) = 0;
    // A RIFF WAVE image in memory or a WAV file; `error` gets the reason of a refusal.
    virtual bool playEffectImage(const uint8_t* image, size_t size, std::string* error) = 0;
    virtual bool playEffectFile(const std::string& path, std::string* error) = 0;
    virtual void stopEffect() = 0;
    virtual bool effectPlaying() const = 0;

    // --- numbered WAV players (0 ≤ id < kWavePlayerCount; other ids are
    // ignored). Positions count frames of the player's sound.
    // Opening replaces what the player held and leaves it stopped at the start.
    virtual bool openWavePlayer(int id, std::shared_ptr<const PcmClip> clip) = 0;
    virtual bool openWavePlayerFile(int id, const std::string& path, std::string* error) = 0;
    virtual void closeWavePlayer(int id) = 0;
    // Plays from frame `from` (negative: where it stands) up to `to` (negative: the end).
    virtual void playWavePlayer(int id, int64_t from, int64_t to) = 0;
    // Stops and keeps the position, so a play without a start position resumes.
    virtual void stopWavePlayer(int id) = 0;
    // Stops and moves to `frame`.
    virtual void seekWavePlayer(int id, int64_t frame) = 0;
    virtual bool wavePlayerOpen(int id) const = 0;
    virtual bool wavePlayerPlaying(int id) const = 0;
    virtual int64_t wavePlayerPosition(int id) const = 0;
    virtual int64_t wavePlayerLength(int id) const = 0;

    // --- MIDI: one standard MIDI file at a time. Without a synthesizer or a
    // sound font every call still succeeds and the music is silent.
    virtual bool loadMidi(const uint8_t* data, size_t size, std::string* error) = 0;
    virtual void playMidi() = 0;    // from the start, looping
    virtual void stopMidi() = 0;
    virtual void toggleMidiPause() = 0;
    virtual bool midiAudible() const = 0;  // a synthesizer with a sound font is ready
};

}  // namespace qf
