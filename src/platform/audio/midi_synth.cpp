#include "platform/audio/midi_synth.h"

#include <fluidsynth.h>
#include <unistd.h>

#include <mutex>

#include "platform/audio/smf_check.h"

namespace qf {

namespace {

void quietLibraryLog() {
    static std::once_flag once;
    std::call_once(once, [] {
        fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
        fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
        fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
    });
}

// Loud enough for a General MIDI piece without clipping a full orchestra.
constexpr double kSynthGain = 0.4;
constexpr int kRenderChunk = 1024;

}  // namespace

struct MidiSynth::Impl {
    std::vector<std::string> fonts;
    int sampleRate;
    mutable std::mutex lock;
    bool started = false;  // the synthesizer was tried
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
    std::vector<uint8_t> image;
    bool isPlaying = false;
    bool isPaused = false;
    float left[kRenderChunk];
    float right[kRenderChunk];

    ~Impl() {
        if (player) delete_fluid_player(player);
        if (synth) delete_fluid_synth(synth);
        if (settings) delete_fluid_settings(settings);
    }

    // Builds the synthesizer outside the lock: loading a sound font takes a
    // while, and the device thread keeps rendering meanwhile.
    void start() {
        {
            std::lock_guard<std::mutex> guard(lock);
            if (started) return;
            started = true;
        }
        quietLibraryLog();
        fluid_settings_t* s = new_fluid_settings();
        if (!s) return;
        fluid_settings_setnum(s, "synth.sample-rate", sampleRate);
        fluid_settings_setnum(s, "synth.gain", kSynthGain);
        fluid_settings_setint(s, "synth.cpu-cores", 1);
        // The player follows the samples rendered, so a paused render pauses it
        // and a headless run is repeatable.
        fluid_settings_setstr(s, "player.timing-source", "sample");
        fluid_synth_t* y = new_fluid_synth(s);
        bool haveFont = false;
        if (y) {
            for (const std::string& path : fonts) {
                if (::access(path.c_str(), R_OK) != 0) continue;
                if (fluid_synth_sfload(y, path.c_str(), 1) != FLUID_FAILED) {
                    haveFont = true;
                    break;
                }
            }
        }
        if (!haveFont) {
            if (y) delete_fluid_synth(y);
            delete_fluid_settings(s);
            return;
        }
        std::lock_guard<std::mutex> guard(lock);
        settings = s;
        synth = y;
    }

    void dropPlayer() {
        if (!player) return;
        fluid_player_stop(player);
        delete_fluid_player(player);
        player = nullptr;
        fluid_synth_all_sounds_off(synth, -1);
    }
};

MidiSynth::MidiSynth(std::vector<std::string> soundFonts, int sampleRate) : impl_(std::make_unique<Impl>()) {
    impl_->fonts = std::move(soundFonts);
    impl_->sampleRate = sampleRate;
}

MidiSynth::~MidiSynth() = default;

std::vector<std::string> MidiSynth::defaultSoundFonts() {
    return {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
            "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/soundfonts/default.sf2"};
}

void MidiSynth::preferSoundFont(const std::string& path) {
    std::lock_guard<std::mutex> guard(impl_->lock);
    impl_->fonts.insert(impl_->fonts.begin(), path);
}

bool MidiSynth::load(const uint8_t* data, size_t size, std::string* error) {
    SmfError e = checkSmf(data, size);
    if (e != SmfError::None) {
        if (error) *error = smfErrorText(e);
        return false;
    }
    impl_->start();
    std::lock_guard<std::mutex> guard(impl_->lock);
    impl_->image.assign(data, data + size);
    return true;
}

void MidiSynth::play() {
    std::lock_guard<std::mutex> guard(impl_->lock);
    Impl& m = *impl_;
    if (m.image.empty()) return;
    m.isPlaying = true;
    m.isPaused = false;
    if (!m.synth) return;
    m.dropPlayer();
    fluid_synth_system_reset(m.synth);
    m.player = new_fluid_player(m.synth);
    if (!m.player) return;
    if (fluid_player_add_mem(m.player, m.image.data(), m.image.size()) != FLUID_OK) {
        delete_fluid_player(m.player);
        m.player = nullptr;
        return;
    }
    fluid_player_set_loop(m.player, -1);
    fluid_player_play(m.player);
}

void MidiSynth::stop() {
    std::lock_guard<std::mutex> guard(impl_->lock);
    impl_->isPlaying = false;
    impl_->isPaused = false;
    if (impl_->synth) impl_->dropPlayer();
}

void MidiSynth::togglePause() {
    std::lock_guard<std::mutex> guard(impl_->lock);
    // Rendering stops while paused, which holds the player, the notes and
    // their envelopes exactly where they were.
    if (impl_->isPlaying) impl_->isPaused = !impl_->isPaused;
}

bool MidiSynth::audible() const {
    std::lock_guard<std::mutex> guard(impl_->lock);
    return impl_->synth != nullptr;
}

bool MidiSynth::playing() const {
    std::lock_guard<std::mutex> guard(impl_->lock);
    return impl_->isPlaying;
}

bool MidiSynth::paused() const {
    std::lock_guard<std::mutex> guard(impl_->lock);
    return impl_->isPaused;
}

void MidiSynth::mixInto(float* mix, int frames) {
    std::lock_guard<std::mutex> guard(impl_->lock);
    Impl& m = *impl_;
    if (!m.synth || !m.player || !m.isPlaying || m.isPaused) return;
    while (frames > 0) {
        int n = frames < kRenderChunk ? frames : kRenderChunk;
        fluid_synth_write_float(m.synth, n, m.left, 0, 1, m.right, 0, 1);
        for (int i = 0; i < n; ++i) {
            mix[2 * i] += m.left[i] * 32768.0f;
            mix[2 * i + 1] += m.right[i] * 32768.0f;
        }
        mix += 2 * n;
        frames -= n;
    }
}

}  // namespace qf
