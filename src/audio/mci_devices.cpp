#include "audio/mci_devices.h"

#include "audio/sound_effects.h"
#include "platform/audio/wav_decode.h"

namespace qf {

MciDevices::MciDevices(SoundDevice& device, AudioServices services)
    : device_(device), services_(std::move(services)) {}

void MciDevices::load(int n) {
    if (n < 0 || n >= kDevices) return;
    const std::string name = numberedWavName(n);
    std::vector<uint8_t> image;
    if (!services_.readDiskFile || !services_.readDiskFile(name, image)) return;
    std::shared_ptr<const PcmClip> clip = decodeWavImage(image.data(), image.size(), nullptr);
    if (!clip) return;
    device_.openWavePlayer(n, std::move(clip));
    elementName[n] = name;
}

void MciDevices::play(int n) {
    if (n < 0 || n >= kDevices) return;
    device_.playWavePlayer(n, 0, -1);
}

void MciDevices::stop(int n) {
    if (n < 0 || n >= kDevices) return;
    device_.stopWavePlayer(n);
}

void MciDevices::close(int n) {
    if (n < 0 || n >= kDevices) return;
    device_.closeWavePlayer(n);
    elementName[n].clear();
}

}  // namespace qf
