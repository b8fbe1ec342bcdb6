#include "audio/stream_player.h"

#include <algorithm>

namespace qf {

StreamPlayer::StreamPlayer(SoundDevice& device, StreamSource& source, Traits traits,
                           std::function<bool()> isForeground)
    : device_(device), source_(source), traits_(traits), isForeground_(std::move(isForeground)),
      core_(std::make_shared<Core>()) {
    core_->owner = this;
}

StreamPlayer::~StreamPlayer() {
    std::lock_guard<std::recursive_mutex> guard(core_->lock);
    close();
    core_->owner = nullptr;
}

bool StreamPlayer::openOutput(int channels, int rate, int bits) {
    std::lock_guard<std::recursive_mutex> guard(core_->lock);
    format = WaveFormat{rate, channels, bits};
    ++generation_;
    std::weak_ptr<Core> weak = core_;
    const uint64_t generation = generation_;
    stream_ = device_.openStream(format, [weak, generation] {
        std::shared_ptr<Core> core = weak.lock();
        if (!core) return;
        std::lock_guard<std::recursive_mutex> guard(core->lock);
        if (core->owner) core->owner->blockDone(generation);
    });
    if (!stream_) return false;
    bufferSize = format.averageBytesPerSecond() / 20;
    for (auto& b : buffers_) b.assign(static_cast<size_t>(bufferSize + traits_.bufferSlack), 0);
    headerLength[0] = headerLength[1] = bufferSize;
    savedDeviceVolume = stream_->volume();
    stream_->setVolume(kFullVolume);
    m_nStatus = kStopped;
    return true;
}

void StreamPlayer::blockDone(uint64_t generation) {
    // Reports of an output that has been closed since are not this output's.
    if (generation != generation_ || !stream_) return;
    --m_nRest;
    if (!isForeground_ || isForeground_()) refill();
}

void StreamPlayer::refill() {
    std::lock_guard<std::recursive_mutex> guard(core_->lock);
    if (stopRequest == 1) stop();
    if (m_nStatus != kPlaying || !stream_ || !source_.sourceReady()) return;
    const int previousIndex = bufferIndex;
    bufferIndex = bufferIndex == 0 ? 1 : 0;
    ++m_nRest;
    if (traits_.countsPlays) ++m_nCntPlay;
    if (traits_.fades) {
        if (fadeValue > 0) {
            fadeValue += fadeStep;
            setVolume(fadeValue);
            if (fadeValue >= targetVolume) fadeValue = 0;
        } else if (fadeValue < 0) {
            fadeValue += fadeStep;
            setVolume(fadeValue + 100);
            if (fadeValue <= -100) fadeValue = 0;
        }
    }
    std::vector<uint8_t>& buffer = buffers_[bufferIndex];
    const int length = source_.fill(buffer.data(), bufferSize);
    if (length <= 0) {
        // Nothing decoded: no block goes out, and the frame service tries again.
        bufferIndex = previousIndex;
        --m_nRest;
        if (traits_.countsPlays) --m_nCntPlay;
        return;
    }
    headerLength[bufferIndex] = std::min(length, static_cast<int>(buffer.size()));
    const int result = stream_->write(buffer.data(), static_cast<size_t>(headerLength[bufferIndex]));
    if (result != kWaveOk) {
        source_.writeFailed(result);
        if (stream_) stream_->reset();
    }
    if (m_nRest < 2) refill();
}

void StreamPlayer::stop() {
    std::lock_guard<std::recursive_mutex> guard(core_->lock);
    if (traits_.fades && fadeValue < 0) return;
    stopRequest = 0;
    if (m_nStatus == kPlaying) {
        m_nStatus = kStopped;
        bufferIndex = 1;
        m_nRest = 0;
        if (traits_.rewindsOnStop) source_.rewind();
    }
}

void StreamPlayer::requestStop() {
    std::lock_guard<std::recursive_mutex> guard(core_->lock);
    stopRequest = 1;
}

void StreamPlayer::fadeOut(int step) {
    std::lock_guard<std::recursive_mutex> guard(core_->lock);
    stopRequest = 1;
    if (traits_.fades && step >= 1) {
        fadeValue = volume - 101;
        fadeStep = -step;
    }
}

void StreamPlayer::fadeIn(int step) {
    std::lock_guard<std::recursive_mutex> guard(core_->lock);
    if (!traits_.fades) return;
    fadeValue = 1;
    fadeStep = step;
}

void StreamPlayer::cancelFadeOut() {
    std::lock_guard<std::recursive_mutex> guard(core_->lock);
    if (fadeValue < 0) fadeValue = 0;
}

void StreamPlayer::start() {
    std::lock_guard<std::recursive_mutex> guard(core_->lock);
    stopRequest = 0;
    if (m_nStatus != kNothingLoaded) m_nStatus = kPlaying;
}

void StreamPlayer::pause() {
    std::lock_guard<std::recursive_mutex> guard(core_->lock);
    if (m_nStatus == kPlaying) {
        if (stream_) stream_->pause();
        m_nStatus = kStopped;
    } else if (m_nStatus == kStopped) {
        if (stream_) stream_->restart();
        m_nStatus = kPlaying;
        if (m_nRest < 2) refill();
    }
}

void StreamPlayer::setVolume(int v) {
    std::lock_guard<std::recursive_mutex> guard(core_->lock);
    v = std::clamp(v, 0, 100);
    if (traits_.fades) volume = v;
    const uint32_t level = static_cast<uint32_t>(v) * 65535u / 100u;
    if (stream_) stream_->setVolume(level | level << 16);
}

void StreamPlayer::close() {
    std::lock_guard<std::recursive_mutex> guard(core_->lock);
    stop();
    source_.releaseSource();
    if (stream_) {
        stream_->reset();
        stream_->setVolume(savedDeviceVolume);
        stream_.reset();
    }
    for (auto& b : buffers_) std::vector<uint8_t>().swap(b);
    m_nStatus = kNothingLoaded;
    bufferIndex = 1;
    m_nRest = 0;
}

void StreamPlayer::frameService() {
    std::lock_guard<std::recursive_mutex> guard(core_->lock);
    if (m_nRest <= 0) {
        m_nRest = 0;
        refill();
    }
}

uint32_t StreamPlayer::deviceVolume() const {
    std::lock_guard<std::recursive_mutex> guard(core_->lock);
    return stream_ ? stream_->volume() : 0;
}

}  // namespace qf
