// The sound players as the frame loop sees them.
#pragma once

namespace qf {

struct Audio {
    bool midiPlaying = false;
    int midiPauseToggles = 0;

    void Init() {}
    // The per-frame refill of the KPI and then the Ogg stream player.
    void FrameService() {}
    void ToggleMidiPause() { ++midiPauseToggles; }
    // Sound-effect slot `slot`; MCI device `device` from its start.
    void PlayEffectSlot(int slot) {}
    void PlayMciFromStart(int device) {}
    void Shutdown() {}
};

}  // namespace qf
