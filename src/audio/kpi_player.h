// Music decoded by a KPI decoder plug-in, streamed through the second
// instance of the stream player: channels, rate and bits as the decoder
// reports them, one render of a whole buffer per refill, no fades, no rewind
// on stop (the next play request positions the decoder).
//
// Each script command is one call: loadCommand ("#kpiLoad"), playCommand
// ("#kpiPlay"), stopCommand ("#kpiStop"), pauseCommand ("#kpiPause") and
// volumeCommand ("#kpiVol"). An argument the script left out is kNil. The
// caller holds the archive packer back during loads and play requests.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/audio_services.h"
#include "audio/kpi_decoder.h"
#include "audio/stream_player.h"

namespace qf {

class KpiPlayer final : public StreamSource {
public:
    KpiPlayer(SoundDevice& device, AudioServices services);
    ~KpiPlayer() override;

    // Where decoder libraries come from; set by the engine before the first load.
    void setLibraryAccess(KpiLibraryAccess access);
    // Debugger-output lines (caption, text; Shift-JIS). Optional.
    std::function<void(const std::string& caption, const std::string& text)> debugTrace;

    // "#kpiLoad": loads the decoder, then the sound: from memory through the
    // resource lookup, else by name from the game directory.
    void loadCommand(const std::string& soundSjis, const std::string& pluginSjis);
    // "#kpiPlay": playAt(seconds), then the volume when one is given.
    void playCommand(int seconds, int volume);
    // "#kpiStop": a stop at the next refill.
    void stopCommand();
    // "#kpiPause": the pause toggle.
    void pauseCommand();
    // "#kpiVol": 0..100, applied at once.
    void volumeCommand(int volume);

    // The operations the commands are made of.
    // Releases everything, then loads the decoder; false without a module.
    bool init(const std::string& pluginSjis);
    bool openMemory(std::vector<uint8_t> image);
    bool openFile(const std::string& soundSjis);
    // Plays from `seconds` unless that is where the last accepted request
    // put it; a negative request means the position before that one.
    void playAt(int seconds);
    // Closes the output, the sound and the decoder library.
    void release();
    // The frame service of the stream, then the report of the write failures
    // the refills met since the previous frame. Main thread only.
    void frameService();

    const KpiDecoder& decoder() const { return decoder_; }

    // StreamSource
    bool sourceReady() const override;
    int fill(uint8_t* buffer, int bufferSize) override;
    void releaseSource() override;
    // Counted only; the next frameService() shows the boxes.
    void writeFailed(int code) override;

private:
    bool startOutput();
    void reportWriteFailures();

    AudioServices services_;
    KpiDecoder decoder_;
    // The sound file as read; the decoder may read it until the sound closes.
    std::vector<uint8_t> image_;
    std::atomic<int> unreportedWriteFailures_{0};
    std::atomic<int> lastWriteFailure_{0};

public:
    // Positions, in seconds, of the last accepted play request and of the one
    // before it. They survive loads. Guarded by stream.mutex().
    int currentPosition = 0;
    int previousPosition = 0;

    // Declared last: it closes first, while the decoder still exists.
    StreamPlayer stream;
};

}  // namespace qf
