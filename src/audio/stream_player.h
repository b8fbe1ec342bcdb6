// The streamed-music player: a PCM output stream with two alternating 50 ms
// buffers, refilled whenever the device hands a buffer back (while the main
// window is in the foreground) and, as a safety net, by the frame service
// whenever no buffer is queued. What fills a buffer comes from a
// StreamSource: the Ogg player is one; a player of another format adds its own
// source and picks its traits.
//
// Thread-safety: the device reports finished buffers on its own thread while
// script commands and the frame service run on the main thread; every
// operation takes the player's lock, which a source's own commands take too
// (mutex()). The lock is recursive, so a command may call the operations here.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio/sound_device.h"

namespace qf {

// The decoder side of a stream. Called with the player's lock held.
class StreamSource {
public:
    virtual ~StreamSource() = default;
    // A decoder is open.
    virtual bool sourceReady() const = 0;
    // Fills `buffer` (bufferSize plus the traits' slack bytes long) and returns
    // the number of bytes to play; 0 or less plays nothing this time.
    virtual int fill(uint8_t* buffer, int bufferSize) = 0;
    // Back to the start (the stop of a player whose traits ask for it).
    virtual void rewind() {}
    // Releases the decoder (the player closes).
    virtual void releaseSource() {}
    // The device refused a block; `code` is its failure code.
    virtual void writeFailed(int code) = 0;
};

class StreamPlayer {
public:
    struct Traits {
        int bufferSlack = 0;       // bytes allocated past the buffer size
        bool countsPlays = false;  // keeps m_nCntPlay
        bool fades = false;        // fades and a stored volume
        bool rewindsOnStop = false;
    };

    enum Status { kNothingLoaded = 0, kStopped = 2, kPlaying = 3 };

    StreamPlayer(SoundDevice& device, StreamSource& source, Traits traits, std::function<bool()> isForeground);
    // Closes the output; no finished-buffer report reaches the source afterwards.
    ~StreamPlayer();
    StreamPlayer(const StreamPlayer&) = delete;
    StreamPlayer& operator=(const StreamPlayer&) = delete;

    // Opens the output stream for the decoder's format: buffer size is the
    // average bytes per second / 20, the stream starts at full volume (its
    // earlier volume is kept for close()), status becomes stopped. False when
    // the device refuses the format.
    bool openOutput(int channels, int rate, int bits);

    // The streaming step: queues the next buffer, and another while fewer than
    // two are in flight.
    void refill();
    // Stops now unless a fade-out runs; buffers already queued play out.
    void stop();
    // The stop happens at the next refill.
    void requestStop();
    // Fade-out by `step` points per buffer, then a stop; step < 1 stops at the next refill.
    void fadeOut(int step);
    // Fade-in by `step` points per buffer from 1 up to the target volume; a
    // fade-out that runs is cancelled.
    void fadeIn(int step);
    void cancelFadeOut();
    // Playing from the next refill on (when something is loaded); a pending stop is withdrawn.
    void start();
    // Toggle: playing → paused; paused or stopped → playing.
    void pause();
    // 0..100, applied to the device at once.
    void setVolume(int v);
    void close();
    // Once per frame: refills when no buffer is queued.
    void frameService();

    // The stream's device volume word (0 without an output).
    uint32_t deviceVolume() const;

    std::recursive_mutex& mutex() const { return core_->lock; }

    // Stream state, named as the debug panels label it. Written under the
    // lock, possibly on the device thread: read it under mutex().
    int m_nStatus = kNothingLoaded;
    int bufferIndex = 1;      // buffer written last
    int m_nRest = 0;          // buffers written and not yet handed back
    int m_nCntPlay = 0;       // buffers written since the player was made
    int stopRequest = 1;
    int volume = 100;
    int targetVolume = 100;
    uint32_t savedDeviceVolume = 0xFFFFFFFFu;
    int fadeValue = 0;
    int fadeStep = 0;
    int bufferSize = 0;
    WaveFormat format;
    int headerLength[2] = {0, 0};

private:
    struct Core {
        std::recursive_mutex lock;
        StreamPlayer* owner = nullptr;
    };
    void blockDone(uint64_t generation);

    SoundDevice& device_;
    StreamSource& source_;
    const Traits traits_;
    std::function<bool()> isForeground_;
    std::shared_ptr<Core> core_;
    std::unique_ptr<WaveOutStream> stream_;
    std::vector<uint8_t> buffers_[2];
    uint64_t generation_ = 0;  // which output a finished-buffer report belongs to
};

}  // namespace qf
