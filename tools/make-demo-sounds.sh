#!/usr/bin/env bash
# Writes the demo game's sounds: looping Ogg Vorbis music (libvorbisenc) with
# LOOPSTART and LOOPLENGTH comments, two short 8-bit WAV effects and a short
# format-0 MIDI piece, all synthesised here from sines. The output is
# deterministic for a given libvorbis; the committed files are what this
# script wrote.
# Usage: tools/make-demo-sounds.sh [REPO]
set -euo pipefail
repo=${1:-$(cd "$(dirname "$0")/.." && pwd)}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/demo_sounds.cpp" <<'CPP'
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;
using Samples = std::vector<float>;  // mono, -1..1

constexpr double kTwoPi = 6.283185307179586;
constexpr int kMusicRate = 22050;
constexpr int kEffectRate = 11025;

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

static double noteHz(int midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0); }

// Adds a soft plucked note (a sine and its octave, decaying) at `start` seconds.
static void pluck(Samples& s, int rate, double start, double seconds, int note, double level) {
    const double hz = noteHz(note);
    const size_t from = size_t(start * rate);
    const size_t n = size_t(seconds * rate);
    for (size_t i = 0; i < n && from + i < s.size(); ++i) {
        const double t = double(i) / rate;
        const double attack = std::min(1.0, t / 0.01);
        const double release = std::min(1.0, (seconds - t) / 0.03);
        const double env = attack * release * std::exp(-3.0 * t);
        s[from + i] += float(level * env * (std::sin(kTwoPi * hz * t) + 0.3 * std::sin(2 * kTwoPi * hz * t)));
    }
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
    for (float x : s) v.push_back(uint8_t(128 + std::lround(std::clamp(x, -1.0f, 1.0f) * 127)));
    return v;
}

static Bytes ogg(const Samples& s, int rate, const std::vector<std::string>& comments, float quality) {
    Bytes out;
    auto append = [&out](const ogg_page& p) {
        out.insert(out.end(), p.header, p.header + p.header_len);
        out.insert(out.end(), p.body, p.body + p.body_len);
    };
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 1, rate, quality) != 0) {
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
    ogg_stream_init(&os, 11);
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

// Variable-length quantity of a MIDI delta time.
static void vlq(Bytes& v, uint32_t x) {
    uint8_t b[4];
    int n = 0;
    do {
        b[n++] = uint8_t(x & 0x7F);
        x >>= 7;
    } while (x);
    while (n--) v.push_back(uint8_t(b[n] | (n ? 0x80 : 0)));
}

// Format 0, 480 ticks per beat at 120 beats per minute: a music box melody
// over a soft bass, notes as (midi note, beats), 0 a rest.
static Bytes midi(const std::vector<std::pair<int, double>>& melody, const std::vector<std::pair<int, double>>& bass) {
    struct Event {
        uint32_t tick;
        Bytes bytes;
    };
    std::vector<Event> events = {{0, {0xC0, 10}}, {0, {0xC1, 32}}};  // music box, acoustic bass
    auto add = [&](const std::vector<std::pair<int, double>>& notes, uint8_t channel, uint8_t velocity) {
        uint32_t tick = 0;
        for (auto [note, beats] : notes) {
            const uint32_t length = uint32_t(beats * 480);
            if (note > 0) {
                events.push_back({tick, {uint8_t(0x90 | channel), uint8_t(note), velocity}});
                events.push_back({tick + length - 20, {uint8_t(0x80 | channel), uint8_t(note), 0x40}});
            }
            tick += length;
        }
    };
    add(melody, 0, 96);
    add(bass, 1, 80);
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.tick < b.tick; });
    Bytes track;
    uint32_t now = 0;
    for (const Event& e : events) {
        vlq(track, e.tick - now);
        now = e.tick;
        track.insert(track.end(), e.bytes.begin(), e.bytes.end());
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
    const std::string dir = std::string(argv[1]) + "/";

    // Music: a one-bar intro, then four bars in C that loop (loop comments in
    // samples), at 100 beats per minute: 0.6 s a beat.
    const double beat = 0.6;
    const int introBeats = 4, loopBeats = 16;
    Samples music(size_t((introBeats + loopBeats) * beat * kMusicRate), 0.0f);
    const int intro[] = {72, 76, 79, 84};
    for (int i = 0; i < introBeats; ++i) pluck(music, kMusicRate, i * beat, beat, intro[i], 0.35);
    const int tune[] = {76, 79, 81, 79, 76, 74, 72, 74, 76, 79, 84, 83, 81, 79, 77, 76};
    const int roots[] = {48, 45, 41, 43};
    for (int i = 0; i < loopBeats; ++i) {
        const double at = (introBeats + i) * beat;
        pluck(music, kMusicRate, at, beat, tune[i], 0.35);
        if (i % 4 == 0) pluck(music, kMusicRate, at, 4 * beat, roots[i / 4], 0.35);
    }
    const int loopStart = int(introBeats * beat * kMusicRate);
    const int loopLength = int(loopBeats * beat * kMusicRate);
    save(dir + "music.ogg", ogg(music, kMusicRate,
                                {"TITLE=Quillfen demo", "LOOPSTART=" + std::to_string(loopStart),
                                 "LOOPLENGTH=" + std::to_string(loopLength)},
                                -0.1f));

    // Effects: a short blip for the menu keys, a rising chime for the star.
    Samples blip(size_t(0.08 * kEffectRate), 0.0f);
    pluck(blip, kEffectRate, 0, 0.08, 84, 0.5);
    save(dir + "blip.wav", wav8(blip, kEffectRate));
    Samples chime(size_t(0.45 * kEffectRate), 0.0f);
    pluck(chime, kEffectRate, 0.0, 0.45, 79, 0.35);
    pluck(chime, kEffectRate, 0.1, 0.35, 84, 0.35);
    pluck(chime, kEffectRate, 0.2, 0.25, 88, 0.35);
    save(dir + "chime.wav", wav8(chime, kEffectRate));

    // The story scene's MIDI piece: eight bars of a music box over a bass.
    save(dir + "story.mid",
         midi({{67, 1}, {72, 1}, {74, 1}, {76, 1}, {74, 2}, {72, 2}, {69, 1}, {72, 1}, {74, 1}, {72, 1},
               {67, 4}, {67, 1}, {72, 1}, {74, 1}, {76, 1}, {79, 2}, {76, 2}, {74, 1}, {72, 1}, {74, 1},
               {76, 1}, {72, 4}},
              {{48, 4}, {45, 4}, {41, 4}, {43, 4}, {48, 4}, {45, 4}, {43, 4}, {48, 4}}));
    return 0;
}
CPP

c++ -std=c++17 -O1 -o "$work/demo_sounds" "$work/demo_sounds.cpp" $(pkg-config --cflags --libs vorbisenc vorbis ogg)
"$work/demo_sounds" "$repo/games/demo"
