#!/usr/bin/env bash
# Writes the demo game's sounds: looping Ogg Vorbis music (libvorbisenc) with
# LOOPSTART and LOOPLENGTH comments, three short 8-bit WAV sounds (two effects
# and the story scene's voice) and a short
# format-0 MIDI piece, all synthesised here from sines. The output is
# deterministic for a given libvorbis; the committed files are what this
# script wrote.
# Usage: tools/make-demo-sounds.sh [REPO]
set -euo pipefail
repo=${1:-$(cd "$(dirname "$0")/.." && pwd)}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/demo_sounds.cpp" <<'CPP'
#include "sound_files.h"

constexpr int kMusicRate = 22050;
constexpr int kEffectRate = 11025;

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

static Bytes ogg(const Samples& s, int rate, const std::vector<std::string>& comments, float quality) {
    return oggVorbis(s, 1, rate, comments, quality, 11, 1024);
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
    // The story scene's voice: a soft call of two notes.
    Samples voice(size_t(0.4 * kEffectRate), 0.0f);
    pluck(voice, kEffectRate, 0.0, 0.4, 72, 0.4);
    pluck(voice, kEffectRate, 0.15, 0.25, 76, 0.4);
    save(dir + "voice.wav", wav8(voice, kEffectRate));

    // The story scene's MIDI piece: eight bars of a music box over a bass.
    save(dir + "story.mid",
         midi({{67, 1}, {72, 1}, {74, 1}, {76, 1}, {74, 2}, {72, 2}, {69, 1}, {72, 1}, {74, 1}, {72, 1},
               {67, 4}, {67, 1}, {72, 1}, {74, 1}, {76, 1}, {79, 2}, {76, 2}, {74, 1}, {72, 1}, {74, 1},
               {76, 1}, {72, 4}},
              {{48, 4}, {45, 4}, {41, 4}, {43, 4}, {48, 4}, {45, 4}, {43, 4}, {48, 4}}));
    return 0;
}
CPP

c++ -std=c++17 -O1 -I"$repo/tools" -o "$work/demo_sounds" "$work/demo_sounds.cpp" $(pkg-config --cflags --libs vorbisenc vorbis ogg)
"$work/demo_sounds" "$repo/games/demo"
