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
    void Shutdown() {}
};

}  // namespace qf
