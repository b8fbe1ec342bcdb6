// The engine's sound: the Ogg music stream, the sound-effect slots, the MCI
// devices and MIDI, all played through the host's sound device. The frame
// loop calls MidiFocus() on every pass and FrameService() once per frame; the
// window sounds call PlayEffectSlot() and PlayMciFromStart(); the script
// commands call the players' own methods (ogg, effects, mci, midi).
#pragma once

#include "audio/audio_services.h"
#include "audio/kpi_player.h"
#include "audio/mci_devices.h"
#include "audio/midi_player.h"
#include "audio/ogg_player.h"
#include "audio/sound_effects.h"
#include "platform/audio/sound_device.h"

namespace qf {

class Audio {
public:
    Audio(SoundDevice& device, AudioServices services);
    Audio(const Audio&) = delete;
    Audio& operator=(const Audio&) = delete;

    // Start-up: every sound-effect slot empty.
    void Init();
    // The per-frame refill of the stream players (a queue run dry is refilled).
    void FrameService();
    // Whether the main window has the keyboard focus: MIDI that plays is
    // paused once when it goes and resumed once when it comes back.
    void MidiFocus(bool hasFocus);
    // Window sounds: sound-effect slot `slot`; MCI device `device` from its start.
    void PlayEffectSlot(int slot);
    void PlayMciFromStart(int device);
    // Exit: MCI devices 1 to 7 closed, MIDI stopped and freed, the slots
    // freed, the music stream closed.
    void Shutdown();

    SoundDevice& device;
    OggPlayer ogg;
    KpiPlayer kpi;
    SoundEffects effects;
    MciDevices mci;
    MidiPlayer midi;
    // The MIDI playing flag (the same flag as midi.playing).
    bool& midiPlaying;
    // The pauses and resumes the focus rule has made.
    int midiPauseToggles = 0;
};

}  // namespace qf
