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
#include "sound_files.h"

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

static Bytes ogg(const Samples& s, int rate, const std::vector<std::string>& comments) {
    return oggVorbis(s, 1, rate, comments, 0.0f, 7, 1024);
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

c++ -std=c++17 -O1 -I"$repo/tools" -o "$work/sounds" "$work/sounds.cpp" $(pkg-config --cflags --libs vorbisenc vorbis ogg)
for game in audio-ogg-loop audio-ogg-volume audio-focus audio-ogg-arguments audio-effects audio-window-sound audio-mci audio-midi; do
  mkdir -p "$repo/tests/games/$game"
done
"$work/sounds" "$repo/tests/games"
