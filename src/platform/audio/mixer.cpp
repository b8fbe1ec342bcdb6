#include "platform/audio/mixer.h"

#include <algorithm>
#include <atomic>
#include <array>
#include <cmath>
#include <mutex>

#include "platform/audio/clip_voice.h"
#include "platform/audio/stream_voice.h"
#include "platform/audio/wav_decode.h"

namespace qf {

namespace {

// Longest stretch mixed in one go.
constexpr int kChunkFrames = 4096;
// Rounds of reports without mixing in between (a report that resets its
// stream reports again at once); past this the mixing goes on regardless.
constexpr int kMaxReportRounds = 64;

bool validPlayer(int id) { return id >= 0 && id < SoundDevice::kWavePlayerCount; }

}  // namespace

struct Mixer::Core {
    explicit Core(std::vector<std::string> fonts) : midi(std::move(fonts), kMixRate) {
        mix.resize(2 * kChunkFrames);
        reports.reserve(16);
    }

    mutable std::mutex lock;
    std::vector<std::shared_ptr<StreamVoice>> streams;
    ClipVoice effect;
    std::array<ClipVoice, kWavePlayerCount> players;
    MidiSynth midi;
    uint64_t rendered = 0;
    std::atomic<float> masterGain{1.0f};

    // Used by the rendering thread only.
    struct Report {
        std::shared_ptr<const BlockDone> callback;
        int count;
    };
    std::vector<float> mix;
    std::vector<Report> reports;
    uint64_t virtualMs = 0;
    uint64_t advancedFrames = 0;
    std::vector<int16_t> scratch;

    // Under the lock: takes every pending block report.
    void collectReports() {
        for (auto& s : streams) {
            if (s->pendingDone > 0) {
                reports.push_back(Report{s->onDone, s->pendingDone});
                s->pendingDone = 0;
            }
        }
    }

    // Without the lock: each report may write to its stream.
    void fireReports() {
        for (Report& r : reports) {
            for (int i = 0; i < r.count; ++i)
                if (*r.callback) (*r.callback)();
        }
        reports.clear();
    }
};

namespace {

class MixerStream final : public WaveOutStream {
public:
    MixerStream(std::shared_ptr<Mixer::Core> core, std::shared_ptr<StreamVoice> voice)
        : core_(std::move(core)), voice_(std::move(voice)) {}

    ~MixerStream() override {
        std::lock_guard<std::mutex> guard(core_->lock);
        voice_->closed = true;
        auto& list = core_->streams;
        list.erase(std::remove(list.begin(), list.end(), voice_), list.end());
    }

    int write(const uint8_t* data, size_t bytes) override {
        const size_t align = static_cast<size_t>(voice_->format.blockAlign());
        if (data == nullptr || bytes < align || bytes > kMaxStreamBlockBytes) return kWaveInvalidBlock;
        std::vector<int16_t> frames = StreamVoice::convert(data, bytes, voice_->format);
        std::lock_guard<std::mutex> guard(core_->lock);
        if (voice_->closed) return kWaveInvalidHandle;
        voice_->queue(std::move(frames));
        return kWaveOk;
    }
    void pause() override {
        std::lock_guard<std::mutex> guard(core_->lock);
        voice_->paused = true;
    }
    void restart() override {
        std::lock_guard<std::mutex> guard(core_->lock);
        voice_->paused = false;
    }
    void reset() override {
        std::lock_guard<std::mutex> guard(core_->lock);
        voice_->dropAll();
    }
    void setVolume(uint32_t volume) override {
        std::lock_guard<std::mutex> guard(core_->lock);
        voice_->volume = volume;
    }
    uint32_t volume() const override {
        std::lock_guard<std::mutex> guard(core_->lock);
        return voice_->volume;
    }
    int queuedBlocks() const override {
        std::lock_guard<std::mutex> guard(core_->lock);
        return voice_->queued();
    }

private:
    std::shared_ptr<Mixer::Core> core_;
    std::shared_ptr<StreamVoice> voice_;
};

}  // namespace

Mixer::Mixer(std::vector<std::string> soundFonts) : core_(std::make_shared<Core>(std::move(soundFonts))) {}

Mixer::~Mixer() = default;

void Mixer::setMasterGain(float gain) { core_->masterGain.store(std::clamp(gain, 0.0f, 1.0f)); }

float Mixer::masterGain() const { return core_->masterGain.load(); }

void Mixer::preferSoundFont(const std::string& path) { core_->midi.preferSoundFont(path); }

void Mixer::render(int16_t* out, int frames) {
    Core& c = *core_;
    int idleRounds = 0;
    while (frames > 0) {
        int n = std::min(frames, kChunkFrames);
        {
            std::lock_guard<std::mutex> guard(c.lock);
            // Reports already due (blocks dropped by a reset) go out before
            // anything more is mixed.
            c.collectReports();
            if (c.reports.empty() || idleRounds >= kMaxReportRounds) {
                for (auto& s : c.streams) {
                    uint64_t left = s->framesToBlockEnd();
                    if (left > 0 && left < static_cast<uint64_t>(n)) n = static_cast<int>(left);
                }
                std::fill(c.mix.begin(), c.mix.begin() + 2 * n, 0.0f);
                for (auto& s : c.streams) s->mixInto(c.mix.data(), n);
                c.effect.mixInto(c.mix.data(), n);
                for (ClipVoice& p : c.players) p.mixInto(c.mix.data(), n);
                c.midi.mixInto(c.mix.data(), n);
                c.collectReports();
                c.rendered += static_cast<uint64_t>(n);
                idleRounds = 0;
            } else {
                n = 0;
                ++idleRounds;
            }
        }
        const float gain = c.masterGain.load(std::memory_order_relaxed);
        for (int i = 0; i < 2 * n; ++i) {
            float v = std::clamp(c.mix[static_cast<size_t>(i)] * gain, -32768.0f, 32767.0f);
            out[i] = static_cast<int16_t>(std::lrint(v));
        }
        c.fireReports();
        out += 2 * n;
        frames -= n;
    }
    // Reports of blocks that ended with the last frame.
    {
        std::lock_guard<std::mutex> guard(c.lock);
        c.collectReports();
    }
    c.fireReports();
}

void Mixer::advanceMs(uint32_t ms, std::vector<int16_t>* captured) {
    Core& c = *core_;
    c.virtualMs += ms;
    uint64_t target = c.virtualMs * kRate / 1000;
    while (c.advancedFrames < target) {
        int n = static_cast<int>(std::min<uint64_t>(target - c.advancedFrames, kChunkFrames));
        int16_t* out;
        if (captured) {
            size_t at = captured->size();
            captured->resize(at + 2 * static_cast<size_t>(n));
            out = captured->data() + at;
        } else {
            c.scratch.resize(2 * kChunkFrames);
            out = c.scratch.data();
        }
        render(out, n);
        c.advancedFrames += static_cast<uint64_t>(n);
    }
}

uint64_t Mixer::framesRendered() const {
    std::lock_guard<std::mutex> guard(core_->lock);
    return core_->rendered;
}

std::unique_ptr<WaveOutStream> Mixer::openStream(const WaveFormat& format, BlockDone onDone) {
    if (format.channels != 1 && format.channels != 2) return nullptr;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return nullptr;
    if (format.sampleRate < kMinStreamRate || format.sampleRate > kMaxStreamRate) return nullptr;
    auto voice = std::make_shared<StreamVoice>(format, std::move(onDone));
    {
        std::lock_guard<std::mutex> guard(core_->lock);
        core_->streams.push_back(voice);
    }
    return std::make_unique<MixerStream>(core_, std::move(voice));
}

bool Mixer::playEffect(std::shared_ptr<const PcmClip> clip) {
    std::lock_guard<std::mutex> guard(core_->lock);
    ClipVoice& e = core_->effect;
    e.load(std::move(clip));
    if (!e.loaded()) return false;
    e.play(0, e.length());
    return true;
}

bool Mixer::playEffectImage(const uint8_t* image, size_t size, std::string* error) {
    return playEffect(decodeWavImage(image, size, error));
}

bool Mixer::playEffectFile(const std::string& path, std::string* error) {
    return playEffect(loadWavFile(path, error));
}

void Mixer::stopEffect() {
    std::lock_guard<std::mutex> guard(core_->lock);
    core_->effect.unload();
}

bool Mixer::effectPlaying() const {
    std::lock_guard<std::mutex> guard(core_->lock);
    return core_->effect.playing();
}

bool Mixer::openWavePlayer(int id, std::shared_ptr<const PcmClip> clip) {
    if (!validPlayer(id) || !clip) return false;
    std::lock_guard<std::mutex> guard(core_->lock);
    core_->players[static_cast<size_t>(id)].load(std::move(clip));
    return true;
}

bool Mixer::openWavePlayerFile(int id, const std::string& path, std::string* error) {
    if (!validPlayer(id)) return false;
    return openWavePlayer(id, loadWavFile(path, error));
}

void Mixer::closeWavePlayer(int id) {
    if (!validPlayer(id)) return;
    std::lock_guard<std::mutex> guard(core_->lock);
    core_->players[static_cast<size_t>(id)].unload();
}

void Mixer::playWavePlayer(int id, int64_t from, int64_t to) {
    if (!validPlayer(id)) return;
    std::lock_guard<std::mutex> guard(core_->lock);
    ClipVoice& p = core_->players[static_cast<size_t>(id)];
    if (!p.loaded()) return;
    p.play(from < 0 ? p.position() : static_cast<uint64_t>(from), to < 0 ? p.length() : static_cast<uint64_t>(to));
}

void Mixer::stopWavePlayer(int id) {
    if (!validPlayer(id)) return;
    std::lock_guard<std::mutex> guard(core_->lock);
    core_->players[static_cast<size_t>(id)].stop();
}

void Mixer::seekWavePlayer(int id, int64_t frame) {
    if (!validPlayer(id)) return;
    std::lock_guard<std::mutex> guard(core_->lock);
    ClipVoice& p = core_->players[static_cast<size_t>(id)];
    p.stop();
    p.seek(frame < 0 ? 0 : static_cast<uint64_t>(frame));
}

bool Mixer::wavePlayerOpen(int id) const {
    if (!validPlayer(id)) return false;
    std::lock_guard<std::mutex> guard(core_->lock);
    return core_->players[static_cast<size_t>(id)].loaded();
}

bool Mixer::wavePlayerPlaying(int id) const {
    if (!validPlayer(id)) return false;
    std::lock_guard<std::mutex> guard(core_->lock);
    return core_->players[static_cast<size_t>(id)].playing();
}

int64_t Mixer::wavePlayerPosition(int id) const {
    if (!validPlayer(id)) return 0;
    std::lock_guard<std::mutex> guard(core_->lock);
    return static_cast<int64_t>(core_->players[static_cast<size_t>(id)].position());
}

int64_t Mixer::wavePlayerLength(int id) const {
    if (!validPlayer(id)) return 0;
    std::lock_guard<std::mutex> guard(core_->lock);
    return static_cast<int64_t>(core_->players[static_cast<size_t>(id)].length());
}

bool Mixer::loadMidi(const uint8_t* data, size_t size, std::string* error) {
    return core_->midi.load(data, size, error);
}
void Mixer::playMidi() { core_->midi.play(); }
void Mixer::stopMidi() { core_->midi.stop(); }
void Mixer::toggleMidiPause() { core_->midi.togglePause(); }
bool Mixer::midiAudible() const { return core_->midi.audible(); }

}  // namespace qf
