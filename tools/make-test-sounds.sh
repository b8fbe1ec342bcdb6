#!/usr/bin/env bash
# Writes the sounds of the end-to-end sound games under tests/games: short
# Ogg Vorbis music (libvorbisenc), 8-bit WAV effects and a format-0 MIDI file,
# all synthesised here from sines and sweeps. The output is deterministic for
# a given libvorbis; the committed files are what this script wrote.
# Usage: tools/make-test-sounds.sh [REPO]
set -euo pipefail
repo=${1:-$(cd "$(dirname "$0")/.." && pwd)}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/sounds.cpp" <<'CPP'
#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;
using Samples = std::vector<float>;  // mono, -1..1

constexpr double kTwoPi = 6.283185307179586;

static void put16(Bytes& v, uint32_t x) { v.push_back(uint8_t(x)); v.push_back(uint8_t(x >> 8)); }
static void put32(Bytes& v, uint32_t x) { put16(v, x & 0xFFFF); put16(v, x >> 16); }
static void save(const std::string& path, const Bytes& b) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), long(b.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

static Samples tone(double seconds, double hz, int rate, double amplitude) {
    Samples s(size_t(seconds * rate));
    for (size_t i = 0; i < s.size(); ++i) s[i] = float(amplitude * std::sin(kTwoPi * hz * double(i) / rate));
    return s;
}

// A linear sweep from f0 to f1 Hz: every stretch of it sounds different.
static Samples sweep(double seconds, double f0, double f1, int rate, double amplitude) {
    Samples s(size_t(seconds * rate));
    for (size_t i = 0; i < s.size(); ++i) {
        double t = double(i) / rate;
        s[i] = float(amplitude * std::sin(kTwoPi * (f0 * t + (f1 - f0) * t * t / (2 * seconds))));
    }
    return s;
}

static Samples join(Samples a, const Samples& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// 8-bit unsigned mono RIFF WAVE.
static Bytes wav8(const Samples& s, int rate) {
    Bytes v = {'R', 'I', 'F', 'F'};
    put32(v, uint32_t(36 + s.size()));
    for (char c : std::string("WAVEfmt ")) v.push_back(uint8_t(c));
    put32(v, 16);
    put16(v, 1);
    put16(v, 1);
    put32(v, uint32_t(rate));
    put32(v, uint32_t(rate));
    put16(v, 1);
    put16(v, 8);
    for (char c : std::string("data")) v.push_back(uint8_t(c));
    put32(v, uint32_t(s.size()));
    for (float x : s) v.push_back(uint8_t(128 + std::lround(x * 127)));
    return v;
}

static Bytes ogg(const Samples& s, int rate, const std::vector<std::string>& comments) {
    Bytes out;
    auto append = [&out](const ogg_page& p) {
        out.insert(out.end(), p.header, p.header + p.header_len);
        out.insert(out.end(), p.body, p.body + p.body_len);
    };
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 1, rate, 0.0f) != 0) {
        std::fprintf(stderr, "the Vorbis encoder refused the format\n");
        std::exit(1);
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    for (const std::string& c : comments) vorbis_comment_add(&vc, c.c_str());
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 7);
    ogg_packet h0, h1, h2;
    vorbis_analysis_headerout(&vd, &vc, &h0, &h1, &h2);
    ogg_stream_packetin(&os, &h0);
    ogg_stream_packetin(&os, &h1);
    ogg_stream_packetin(&os, &h2);
    ogg_page page;
    while (ogg_stream_flush(&os, &page)) append(page);
    auto drain = [&] {
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet p;
            while (vorbis_bitrate_flushpacket(&vd, &p)) {
                ogg_stream_packetin(&os, &p);
                while (ogg_stream_pageout(&os, &page)) append(page);
            }
        }
    };
    for (size_t at = 0; at < s.size(); at += 1024) {
        const int n = int(std::min<size_t>(1024, s.size() - at));
        float** buffer = vorbis_analysis_buffer(&vd, n);
        for (int i = 0; i < n; ++i) buffer[0][i] = s[at + size_t(i)];
        vorbis_analysis_wrote(&vd, n);
        drain();
    }
    vorbis_analysis_wrote(&vd, 0);
    drain();
    while (ogg_stream_flush(&os, &page)) append(page);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

// Format 0, 480 ticks per beat at the default 120 beats per minute: an
// acoustic piano alternating middle C and the E above, one note per beat.
static Bytes midi(int beats) {
    Bytes track = {0x00, 0xC0, 0x00};
    for (int q = 0; q < beats; ++q) {
        const uint8_t note = q % 2 ? 64 : 60;
        track.insert(track.end(), {0x00, 0x90, note, 100});
        track.insert(track.end(), {0x83, 0x60, 0x80, note, 0x40});
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    Bytes smf = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
    const uint32_t n = uint32_t(track.size());
    smf.insert(smf.end(), {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
    smf.insert(smf.end(), track.begin(), track.end());
    return smf;
}

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string games = std::string(argv[1]) + "/";
    constexpr int kMusicRate = 22050, kEffectRate = 11025;
    const double a = 12000.0 / 32768;

    // 1.2 s sweep; loop from 0.3 s for 0.5 s (the comment keys in mixed case).
    save(games + "audio-ogg-loop/music.ogg",
         ogg(sweep(1.2, 300, 1500, kMusicRate, a), kMusicRate, {"LOOPSTART=6615", "LoopLength=11025", "TITLE=sweep"}));
    // 0.5 s of 441 Hz: a whole number of periods, so the endless loop is seamless.
    save(games + "audio-ogg-volume/steady.ogg", ogg(tone(0.5, 441, kMusicRate, a), kMusicRate, {}));
    // 1.5 s sweep without loop points.
    save(games + "audio-focus/sweep.ogg", ogg(sweep(1.5, 300, 1500, kMusicRate, a), kMusicRate, {}));
    // 1 s sweep without loop points: the restart at 0, and loop points given to "#oggPlay".
    save(games + "audio-ogg-arguments/sweep.ogg", ogg(sweep(1.0, 300, 1500, kMusicRate, a), kMusicRate, {}));

    save(games + "audio-effects/beep.wav", wav8(tone(0.25, 440, kEffectRate, 0.5), kEffectRate));
    save(games + "audio-effects/01.wav", wav8(tone(0.25, 660, kEffectRate, 0.5), kEffectRate));
    save(games + "audio-effects/07.wav", wav8(tone(0.25, 990, kEffectRate, 0.5), kEffectRate));
    save(games + "audio-window-sound/move.wav", wav8(tone(0.25, 440, kEffectRate, 0.5), kEffectRate));
    save(games + "audio-window-sound/03.wav", wav8(tone(0.25, 660, kEffectRate, 0.5), kEffectRate));

    // 0.1 s of 500 Hz, then 0.3 s of 1000 Hz: where it starts is heard.
    save(games + "audio-mci/02.wav",
         wav8(join(tone(0.1, 500, kEffectRate, 0.5), tone(0.3, 1000, kEffectRate, 0.5)), kEffectRate));
    save(games + "audio-mci/chime.wav", wav8(tone(0.2, 750, kEffectRate, 0.5), kEffectRate));

    save(games + "audio-midi/tune.mid", midi(16));
    return 0;
}
CPP

c++ -std=c++17 -O1 -o "$work/sounds" "$work/sounds.cpp" $(pkg-config --cflags --libs vorbisenc vorbis ogg)
for game in audio-ogg-loop audio-ogg-volume audio-focus audio-ogg-arguments audio-effects audio-window-sound audio-mci audio-midi; do
  mkdir -p "$repo/tests/games/$game"
done
"$work/sounds" "$repo/tests/games"
