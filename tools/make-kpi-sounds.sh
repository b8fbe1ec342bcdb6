#!/usr/bin/env bash
# Writes the sounds of the KPI music games under tests/games, the demo's KPI
# tune, the music of the KPI benchmark and the seeds of the KPI decoder fuzz
# target: MP3 (libsndfile with
# LAME), FLAC, Ogg Vorbis and WAV, all synthesised here from sines.
# Usage: tools/make-kpi-sounds.sh [REPO]
set -euo pipefail
repo=${1:-$(cd "$(dirname "$0")/.." && pwd)}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/kpi_sounds.cpp" <<'CPP'
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using Samples = std::vector<float>;  // -1..1, channels interleaved

constexpr double kTwoPi = 6.283185307179586;

// Consecutive tones, one per frequency, each `seconds` long and starting at phase 0.
static Samples steps(const std::vector<double>& hz, double seconds, int rate, int channels, double amplitude) {
    Samples s;
    for (double f : hz)
        for (int i = 0; i < int(seconds * rate); ++i)
            for (int c = 0; c < channels; ++c) s.push_back(float(amplitude * std::sin(kTwoPi * f * i / rate)));
    return s;
}

// Notes with a short fade at both ends, so that they do not click.
static Samples melody(const std::vector<double>& hz, double noteSeconds, int rate) {
    Samples s;
    const int n = int(noteSeconds * rate), edge = rate / 100;
    for (double f : hz)
        for (int i = 0; i < n; ++i) {
            double env = std::min(1.0, std::min(double(i), double(n - 1 - i)) / edge);
            s.push_back(float((f > 0 ? 0.3 * env * std::sin(kTwoPi * f * i / rate) : 0.0)));
        }
    return s;
}

static void save(const std::string& path, const Samples& s, int rate, int channels, int format, double quality = -1) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), sf_strerror(nullptr));
        std::exit(1);
    }
    // 1.0 is the smallest file (for MP3 and Vorbis the lowest bit rate).
    if (quality >= 0) sf_command(f, SFC_SET_COMPRESSION_LEVEL, &quality, sizeof quality);
    sf_writef_float(f, s.data(), sf_count_t(s.size() / size_t(channels)));
    sf_close(f);
}

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string repo = std::string(argv[1]) + "/";
    const std::string games = repo + "tests/games/";
    constexpr int kMp3 = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    constexpr int kFlac = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    constexpr int kVorbis = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    constexpr int kWav = SF_FORMAT_WAV | SF_FORMAT_PCM_16;

    // One second each of 400, 600 and 800 Hz: what is heard tells the position.
    const Samples threeSteps = steps({400, 600, 800}, 1.0, 16000, 1, 0.4);
    save(games + "kpi-mp3/steps.mp3", threeSteps, 16000, 1, kMp3, 0.8);
    save(games + "kpi-flac/steps.flac", steps({400, 600, 800}, 1.0, 8000, 1, 0.4), 8000, 1, kFlac);
    save(games + "kpi-archive/src/steps.ogg", steps({400, 600}, 1.0, 16000, 2, 0.4), 16000, 2, kVorbis, 1.0);

    // The demo's tune: a few bars of a pentatonic line.
    const std::vector<double> tune = {523.25, 587.33, 659.25, 783.99, 880.00, 783.99, 659.25, 587.33,
                                      523.25, 659.25, 783.99, 1046.50, 880.00, 783.99, 659.25, 0};
    save(repo + "games/demo/kpi_tune.mp3", melody(tune, 0.25, 22050), 22050, 1, kMp3, 1.0);

    // Two seconds of CD-rate stereo music, two voices gliding apart, at the
    // usual bit rate of downloaded music: what the benchmark decodes.
    Samples music;
    for (int i = 0; i < 2 * 44100; ++i) {
        const double t = double(i) / 44100;
        music.push_back(float(0.3 * std::sin(kTwoPi * (220 * t + 60 * t * t))));
        music.push_back(float(0.3 * std::sin(kTwoPi * (330 * t + 90 * t * t))));
    }
    save(repo + "bench/audio/music44k.mp3", music, 44100, 2, kMp3, 0.5);

    // Fuzz seeds: a tenth of a second of every format the decoder reads.
    const std::string seeds = repo + "fuzz/audio/corpus/fuzz_kpi_decode/";
    const Samples shortStereo = steps({440}, 0.1, 8000, 2, 0.5);
    save(seeds + "tone.mp3", shortStereo, 8000, 2, kMp3, 1.0);
    save(seeds + "tone.flac", shortStereo, 8000, 2, kFlac);
    save(seeds + "tone.ogg", shortStereo, 8000, 2, kVorbis, 1.0);
    save(seeds + "tone.wav", steps({440}, 0.02, 8000, 1, 0.5), 8000, 1, kWav);
    return 0;
}
CPP

c++ -std=c++17 -O1 -o "$work/kpi_sounds" "$work/kpi_sounds.cpp" $(pkg-config --cflags --libs sndfile)
mkdir -p "$repo/tests/games/kpi-mp3" "$repo/tests/games/kpi-flac" "$repo/tests/games/kpi-archive/src" \
  "$repo/fuzz/audio/corpus/fuzz_kpi_decode" "$repo/games/demo"
"$work/kpi_sounds" "$repo"
# A decoder built for Windows, as games name and ship it: it cannot load here.
printf 'MZ\x90\x00\x03\x00\x00\x00\x04\x00\x00\x00\xff\xff\x00\x00This program cannot be run here.\r\n' \
  >"$repo/tests/games/kpi-mp3/in_mp3.kpi"
