#include "audio/audio.h"

namespace qf {

Audio::Audio(SoundDevice& d, AudioServices services)
    : device(d), ogg(d, services), kpi(d, services), effects(d, services), mci(d, services), midi(d, services),
      midiPlaying(midi.playing) {}

void Audio::Init() { effects.clear(); }

void Audio::FrameService() {
    kpi.frameService();
    ogg.frameService();
}

void Audio::MidiFocus(bool hasFocus) {
    if (midi.focus(hasFocus)) ++midiPauseToggles;
}

void Audio::PlayEffectSlot(int slot) { effects.play(slot); }

void Audio::PlayMciFromStart(int n) { mci.play(n); }

void Audio::Shutdown() {
    for (int n = 1; n <= 7; ++n) mci.close(n);
    midi.release();
    device.stopEffect();
    effects.clear();
    ogg.release();
    kpi.release();
}

}  // namespace qf
