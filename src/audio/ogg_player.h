// Background music from Ogg Vorbis files, looped endlessly and, when the file's
// comments give "loopstart" and "looplength" (in PCM frames), between those
// points. The whole file is read into memory through the resource reader, so
// a file packed in the archive plays like a loose one. One stream at a time.
//
// Each script command is one call: loadCommand ("#oggLoad"), playCommand
// ("#oggPlay"), stopCommand ("#oggStop"), pauseCommand ("#oggPause") and
// volumeCommand ("#oggVol"). An argument the script left out is kNil.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/audio_services.h"
#include "audio/stream_player.h"
#include "platform/audio/ogg_decoder.h"

namespace qf {

class OggPlayer final : public StreamSource {
public:
    // Bytes asked of the decoder per read.
    static constexpr int kChunkBytes = 4096;

    OggPlayer(SoundDevice& device, AudioServices services);
    ~OggPlayer() override;

    // "#oggLoad": replaces the stream by the named file, loaded and stopped at
    // its start. A missing or empty file keeps the previous stream and shows
    // the "not found" box.
    void loadCommand(const std::string& fileSjis);
    // "#oggPlay": with `offsetIsCurrent` (the third argument was written as
    // the variable _offset) the play resumes from where the last refill left
    // the decoder. Returns the value for the script variable _offset: that
    // position as an integer.
    int playCommand(int fadeIn, int volume, int offset, int loopStart, int loopEnd, bool offsetIsCurrent);
    // "#oggStop": a fade-out of `step` points per buffer, else a stop at the next refill.
    void stopCommand(int step);
    // "#oggPause": the pause toggle.
    void pauseCommand();
    // "#oggVol": the device volume at once (0..100) and the volume of later
    // plays (kept as given).
    void volumeCommand(int volume);

    // The operations the commands are made of.
    bool open(std::vector<uint8_t> image);
    void play(int offset, int fadeIn, int loopStart, int loopEnd);
    void setTargetVolume(int volume);
    // Closes the output and the decoder.
    void release();
    // The frame service of the stream, then the report of the write failures
    // the refills met since the previous frame. Main thread only.
    void frameService();

    // StreamSource
    bool sourceReady() const override;
    int fill(uint8_t* buffer, int bufferSize) override;
    void rewind() override;
    void releaseSource() override;
    // Counted only: a refill may run on the device's thread, where no message
    // box may block. The next frameService() shows the box.
    void writeFailed(int code) override;

private:
    void readLoopComments();
    // One box for the write failures counted since the last report.
    void reportWriteFailures();

    AudioServices services_;
    OggDecoder decoder_;
    std::atomic<int> unreportedWriteFailures_{0};

public:
    // Loop points in effect and as the file's comments give them (PCM frames;
    // a loop length of 0 means no loop points), and where the decoder stood
    // after the last refill. Guarded by stream.mutex().
    int m_nLoopStart = 0;
    int m_nLoopLength = 0;
    int commentLoopStart = 0;
    int commentLoopLength = 0;
    double m_nCurSec = 0;
    int currentSection = 0;

    // Declared last: it closes first, while the decoder still exists.
    StreamPlayer stream;
};

}  // namespace qf
