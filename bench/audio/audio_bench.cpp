#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "audio/kpi_player.h"
#include "audio/ogg_player.h"
#include "platform/audio/mixer.h"
#include "script/nil.h"

namespace qf {
namespace {

// Sounds of the end-to-end games: Ogg music at 22,050 Hz mono with loop
// comments, and a MIDI piece of piano notes.
constexpr const char* kMusic = QF_SOURCE_DIR "/tests/games/audio-ogg-loop/music.ogg";
constexpr const char* kMidi = QF_SOURCE_DIR "/tests/games/audio-midi/tune.mid";
constexpr int kFrameMs = 16;

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

AudioServices services(bool foreground) {
    AudioServices s;
    s.readResource = [](const std::string& name, std::vector<uint8_t>& out) {
        out = readFile(name);
        return !out.empty();
    };
    s.readDiskFile = s.readResource;
    s.messageBox = [](const std::string&, const std::string&) {};
    s.isForeground = [foreground] { return foreground; };
    return s;
}

// One second of a 660 Hz effect at the mixer's rate.
std::shared_ptr<const PcmClip> effectClip() {
    auto clip = std::make_shared<PcmClip>();
    clip->samples.resize(2 * 44100);
    for (size_t i = 0; i < 44100; ++i)
        clip->samples[2 * i] = clip->samples[2 * i + 1] =
            static_cast<int16_t>(8000 * std::sin(2 * 3.14159265358979 * 660 * double(i) / 44100));
    return clip;
}

// One second of sound per iteration, run as the frame loop runs it: the
// frame service, then 16 ms of mixing. The CPU time per iteration, in ms,
// divided by ten is the percentage of one core the sound takes.
void runSeconds(benchmark::State& state, bool ogg, bool effect, bool midi) {
    Mixer mixer;
    OggPlayer music(mixer, services(true));
    if (ogg) {
        music.loadCommand(kMusic);
        music.playCommand(kNil, kNil, kNil, kNil, kNil, false);
    }
    const auto clip = effectClip();
    const auto piece = readFile(kMidi);
    int seconds = 0;
    for (auto _ : state) {
        if (effect) mixer.playEffect(clip);
        if (midi && seconds % 7 == 0) {  // the piece lasts 8 s
            mixer.stopMidi();
            mixer.loadMidi(piece.data(), piece.size(), nullptr);
            mixer.playMidi();
        }
        ++seconds;
        for (int t = 0; t < 1000; t += kFrameMs) {
            music.frameService();
            mixer.advanceMs(kFrameMs);
        }
    }
}

void BM_OggEffectAndMidiPerSecond(benchmark::State& state) { runSeconds(state, true, true, true); }
void BM_OggAndEffectPerSecond(benchmark::State& state) { runSeconds(state, true, true, false); }
void BM_MidiPerSecond(benchmark::State& state) { runSeconds(state, false, false, true); }

// The mixer alone: a 44.1 kHz stereo stream fed with decoded 50 ms blocks as
// they come back, and an effect, with no decoding.
void BM_MixerAlonePerSecond(benchmark::State& state) {
    Mixer mixer;
    std::vector<uint8_t> block(2205 * 4);
    for (size_t i = 0; i < 2205; ++i) {
        auto v = static_cast<int16_t>(9000 * std::sin(2 * 3.14159265358979 * 441 * double(i) / 44100));
        for (int b = 0; b < 4; ++b) block[4 * i + b] = static_cast<uint8_t>(b % 2 ? v >> 8 : v);
    }
    std::unique_ptr<WaveOutStream> stream;
    stream = mixer.openStream(WaveFormat{44100, 2, 16}, [&] { stream->write(block.data(), block.size()); });
    stream->write(block.data(), block.size());
    stream->write(block.data(), block.size());
    const auto clip = effectClip();
    for (auto _ : state) {
        mixer.playEffect(clip);
        for (int t = 0; t < 1000; t += kFrameMs) mixer.advanceMs(kFrameMs);
    }
}

// One refill of the music stream: a 50 ms buffer decoded and queued. The
// window is in the background so that only the timed call refills.
void BM_OggRefill(benchmark::State& state) {
    Mixer mixer;
    OggPlayer music(mixer, services(false));
    music.loadCommand(kMusic);
    music.playCommand(kNil, kNil, kNil, kNil, kNil, false);
    music.stream.refill();
    for (auto _ : state) {
        state.PauseTiming();
        mixer.advanceMs(50);  // one buffer comes back
        state.ResumeTiming();
        music.stream.refill();
    }
}

// One second of MP3 music (44.1 kHz stereo, tools/make-kpi-sounds.sh)
// decoded by the bundled KPI decoder and played through the KPI player, run as
// the frame loop runs it. Play requests alternate between the start and one
// second in, so every second is decoded sound. CPU time per iteration in ms,
// divided by ten, is the percentage of one core it takes.
void BM_KpiMp3PerSecond(benchmark::State& state) {
    Mixer mixer;
    KpiPlayer kpi(mixer, services(true));
    kpi.setLibraryAccess(KpiLibraryAccess{
        [](const std::string&) { return -1; },
        [] { return std::vector<std::string>{QF_KPI_DECODER_DIR "/"}; },
        [](const std::string& path) { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); },
        [](void* library, const char* symbol) { return dlsym(library, symbol); },
        [](void* library) { dlclose(library); },
    });
    kpi.loadCommand(QF_SOURCE_DIR "/bench/audio/music44k.mp3", "in_mp3.kpi");
    if (kpi.stream.m_nStatus == StreamPlayer::kNothingLoaded) {
        state.SkipWithError("the bundled KPI decoder did not open the music");
        return;
    }
    kpi.playCommand(1, kNil);
    // The music is heard (a decoder that renders nothing would be cheap).
    std::vector<int16_t> heard;
    for (int t = 0; t < 200; t += kFrameMs) {
        kpi.frameService();
        mixer.advanceMs(kFrameMs, &heard);
    }
    int loud = 0;
    for (int16_t v : heard) loud += v > 3000 || v < -3000;
    if (loud < static_cast<int>(heard.size() / 4)) {
        state.SkipWithError("the KPI music is silent");
        return;
    }
    int second = 0;
    for (auto _ : state) {
        kpi.playCommand(second++ % 2, kNil);
        for (int t = 0; t < 1000; t += kFrameMs) {
            kpi.frameService();
            mixer.advanceMs(kFrameMs);
        }
    }
}

BENCHMARK(BM_OggEffectAndMidiPerSecond)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OggAndEffectPerSecond)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MidiPerSecond)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MixerAlonePerSecond)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OggRefill)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KpiMp3PerSecond)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qf
