// Sound made and measured by the audio tests: WAV, Ogg Vorbis and MIDI images
// built in memory, and the measurements the tests compare (level, frequency,
// correlation, where sound starts and stops).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "audio/audio_services.h"

namespace qf::test {

inline constexpr double kPi = 3.14159265358979323846;

// A sine of `frames` samples at `rate`.
std::vector<int16_t> sine(size_t frames, double frequency, int rate, double amplitude);
// A linear chirp from f0 to f1 Hz over its length: every stretch of it looks
// different, so a copy of one is found again by correlation.
std::vector<int16_t> chirp(size_t frames, double f0, double f1, int rate, double amplitude);

// RIFF WAVE image of 16-bit (or, with bits 8, 8-bit) samples; `samples` are
// interleaved when channels is 2.
std::vector<uint8_t> wavImage(const std::vector<int16_t>& samples, int rate, int channels, int bits = 16);

// Ogg Vorbis image of 16-bit samples with the given user comments.
std::vector<uint8_t> oggImage(const std::vector<int16_t>& samples, int rate, int channels,
                              const std::vector<std::string>& comments, float quality = 0.6f);

// A format-0 standard MIDI file: an acoustic piano playing middle C and the
// E above it for `quarterNotes` beats at 120 beats per minute.
std::vector<uint8_t> midiImage(int quarterNotes);

// One channel (0 left, 1 right) of interleaved stereo.
std::vector<int16_t> channel(const std::vector<int16_t>& stereo, int which);
double rms(const int16_t* samples, size_t count);
inline double rms(const std::vector<int16_t>& s) { return rms(s.data(), s.size()); }
int peak(const std::vector<int16_t>& s, size_t from, size_t to);
// Frequency from the upward zero crossings of a steady tone, interpolated
// between samples.
double measureFrequency(const std::vector<int16_t>& samples, int rate);
// Normalised correlation of a[from..from+n) and b[at..at+n).
double correlation(const std::vector<int16_t>& a, size_t from, const std::vector<int16_t>& b, size_t at, size_t n);
// First index of a sample whose magnitude exceeds `threshold`, or npos.
size_t firstAbove(const std::vector<int16_t>& samples, int threshold, size_t from = 0);
// Index after the last sample whose magnitude exceeds `threshold` (0 if none).
size_t endOfSound(const std::vector<int16_t>& samples, int threshold);

// Named files in memory standing for the archive (resources) and for the
// game directory (disk); a message box that keeps what it was shown.
struct FakeGame {
    std::map<std::string, std::vector<uint8_t>> resources;
    std::map<std::string, std::vector<uint8_t>> disk;
    std::vector<std::pair<std::string, std::string>> boxes;
    bool foreground = true;

    AudioServices services();
};

}  // namespace qf::test
