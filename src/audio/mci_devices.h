// The MCI devices: 32 numbered wave-audio devices, each opened on the file
// "NN.wav" of the game directory and played from its start, and the devices
// that MCI command strings open by name ("#mci"). Each device is one of the
// sound device's WAV players. Failures are ignored, as MCI's results are.
#pragma once

#include <cstdint>
#include <string>

#include "audio/audio_services.h"
#include "platform/audio/sound_device.h"

namespace qf {

class MciDevices {
public:
    static constexpr int kDevices = 32;
    // Devices opened by command strings, on the WAV players after the numbered ones.
    static constexpr int kNamedDevices = SoundDevice::kWavePlayerCount - kDevices;

    MciDevices(SoundDevice& device, AudioServices services);

    // "#mciLoad": opens device n on "NN.wav" (read from the game directory,
    // never from the archive). A file that cannot be opened leaves the device
    // as it was.
    void load(int n);
    // "#mciPlay": from the start, also when it is playing.
    void play(int n);
    // "#mciStop", "#mciClose".
    void stop(int n);
    void close(int n);

    // A command string. Understood, for wave-audio files: "open FILE [type
    // waveaudio] [alias NAME]", "play NAME [from N] [to N]" (a file name not
    // yet open is opened first), "stop", "pause", "resume", "seek NAME to
    // start|end|N", "set NAME time format milliseconds|ms|samples" and
    // "close NAME|all"; "wait" and "notify" are accepted and ignored. Anything
    // else is ignored.
    void sendString(const std::string& commandSjis);
    // "#mci": the command string as the script line holds it (see mciCommandText).
    void command(const std::string& argumentText) { sendString(mciCommandText(argumentText)); }

    // The file name device n was opened on; empty when it is not open.
    std::string elementName[kDevices];

    // The command string of a "#mci" line's argument text: when it begins with
    // a double quote, the text up to the next one; otherwise the text up to the
    // first double quote or the end.
    static std::string mciCommandText(const std::string& argumentText);

private:
    struct Named {
        std::string alias;  // empty: free
        int rate = 44100;        // of the sound as it plays
        int sourceRate = 44100;  // of the file, which sample positions count in
        bool samples = false;  // positions in samples rather than milliseconds
    };
    bool openNamed(const std::string& element, const std::string& alias);
    int findNamed(const std::string& name) const;
    // A position written in the device's time format, in frames.
    int64_t toFrames(const Named& d, const std::string& number) const;

    SoundDevice& device_;
    AudioServices services_;
    Named named_[kNamedDevices];
};

}  // namespace qf
