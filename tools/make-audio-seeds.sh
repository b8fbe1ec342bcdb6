#!/usr/bin/env bash
# Writes the seed inputs of the audio fuzz targets: small WAV images of every
# layout the decoder reads, and short Ogg Vorbis files with and without loop
# comments, all synthesised here (libvorbisenc for the Ogg files, libsndfile
# for the float, A-law, ADPCM and 24-bit WAV images).
# Usage: tools/make-audio-seeds.sh [REPO]
set -euo pipefail
repo=${1:-$(cd "$(dirname "$0")/.." && pwd)}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/seeds.cpp" <<'CPP'
#include <sndfile.h>

#include "sound_files.h"

static std::vector<float> tone(int frames, int channels, int rate) {
    std::vector<float> s;
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) s.push_back(0.5f * std::sin(6.2831853f * (440.0f + 220.0f * c) * i / rate));
    return s;
}

// `before`: a chunk placed ahead of the format chunk; `extensible`: the 40-byte format chunk.
static Bytes wav(int rate, int channels, int bits, int frames, const Bytes& before, bool extensible) {
    Bytes fmt;
    put16(fmt, extensible ? 0xFFFE : 1);
    put16(fmt, channels);
    put32(fmt, rate);
    put32(fmt, rate * channels * bits / 8);
    put16(fmt, channels * bits / 8);
    put16(fmt, bits);
    if (extensible) {
        put16(fmt, 22);
        put16(fmt, bits);
        put32(fmt, channels == 2 ? 3 : 4);
        put16(fmt, 1);  // PCM sub-format
        for (uint8_t b : {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}) fmt.push_back(b);
    }
    Bytes data;
    for (float x : tone(frames, channels, rate)) {
        if (bits == 8) data.push_back(uint8_t(128 + int(x * 127)));
        else put16(data, uint16_t(int16_t(x * 32767)));
    }
    Bytes v = {'R', 'I', 'F', 'F'};
    put32(v, uint32_t(4 + before.size() + 8 + fmt.size() + 8 + data.size()));
    for (char c : std::string("WAVE")) v.push_back(uint8_t(c));
    v.insert(v.end(), before.begin(), before.end());
    for (char c : std::string("fmt ")) v.push_back(uint8_t(c));
    put32(v, uint32_t(fmt.size()));
    v.insert(v.end(), fmt.begin(), fmt.end());
    for (char c : std::string("data")) v.push_back(uint8_t(c));
    put32(v, uint32_t(data.size()));
    v.insert(v.end(), data.begin(), data.end());
    return v;
}

// A WAV image in one of the encodings libsndfile writes: 300 frames of a sine.
static Bytes ogg(int rate, int channels, int frames, const std::vector<std::string>& comments) {
    return oggVorbis(tone(frames, channels, rate), channels, rate, comments, 0.1f, 1, size_t(frames));
}

static void encoded(const std::string& path, int format, int channels, int rate) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (f == nullptr) std::exit(1);
    std::vector<float> v(300 * size_t(channels));
    for (size_t k = 0; k < v.size(); ++k) v[k] = 0.4f * std::sin(float(k) * 0.07f);
    sf_writef_float(f, v.data(), 300);
    sf_close(f);
}

int main(int argc, char** argv) {
    const std::string wavDir = std::string(argv[1]) + "/";
    const std::string oggDir = std::string(argv[2]) + "/";
    save(wavDir + "pcm16_stereo.wav", wav(44100, 2, 16, 64, {}, false));
    save(wavDir + "pcm8_mono.wav", wav(11025, 1, 8, 64, {}, false));
    save(wavDir + "extensible.wav", wav(48000, 2, 16, 32, {}, true));
    save(wavDir + "list_chunk.wav", wav(22050, 1, 16, 32, {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0}, false));
    encoded(wavDir + "ima_adpcm.wav", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 1, 22050);
    encoded(wavDir + "ms_adpcm_stereo.wav", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 2, 11025);
    encoded(wavDir + "float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 48000);
    encoded(wavDir + "alaw.wav", SF_FORMAT_WAV | SF_FORMAT_ALAW, 1, 8000);
    encoded(wavDir + "pcm24_ext.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 2, 44100);
    save(oggDir + "mono_loop.ogg", ogg(44100, 1, 4410, {"LOOPSTART=441", "LoopLength=2205"}));
    save(oggDir + "stereo.ogg", ogg(22050, 2, 1102, {"TITLE=seed"}));
    return argc == 3 ? 0 : 1;
}
CPP

c++ -std=c++17 -O1 -I"$repo/tools" -o "$work/seeds" "$work/seeds.cpp" $(pkg-config --cflags --libs vorbisenc vorbis ogg sndfile)
mkdir -p "$repo/fuzz/audio/corpus/fuzz_wav_decode" "$repo/fuzz/audio/corpus/fuzz_ogg_decode"
"$work/seeds" "$repo/fuzz/audio/corpus/fuzz_wav_decode" "$repo/fuzz/audio/corpus/fuzz_ogg_decode"
