#include "audio/ogg_player.h"

#include <cctype>

#include "audio/leading_integer.h"
#include "platform/sjis.h"
#include "script/nil.h"

namespace qf {

namespace {

// Consecutive reads that bring nothing before a refill gives up.
constexpr int kMaxEmptyReads = 8;

StreamPlayer::Traits oggTraits() {
    StreamPlayer::Traits t;
    t.bufferSlack = OggPlayer::kChunkBytes;
    t.countsPlays = true;
    t.fades = true;
    t.rewindsOnStop = true;
    return t;
}

}  // namespace

OggPlayer::OggPlayer(SoundDevice& device, AudioServices services)
    : services_(std::move(services)), stream(device, *this, oggTraits(), services_.isForeground) {}

OggPlayer::~OggPlayer() = default;

void OggPlayer::loadCommand(const std::string& fileSjis) {
    std::vector<uint8_t> image;
    if (!services_.readResource || !services_.readResource(fileSjis, image) || image.empty()) {
        if (services_.messageBox) {
            const std::string& caption = sj("エラー：oggload");
            services_.messageBox(caption, caption + "\n" + fileSjis + sj("が見つかりません"));
        }
        return;
    }
    std::lock_guard<std::recursive_mutex> guard(stream.mutex());
    release();
    open(std::move(image));
}

bool OggPlayer::open(std::vector<uint8_t> image) {
    std::lock_guard<std::recursive_mutex> guard(stream.mutex());
    if (decoder_.open(std::move(image)) != 0) {
        if (services_.messageBox) services_.messageBox("dialog", sj("dll_ov_open_callbacks()エラー"));
        return false;
    }
    if (!stream.openOutput(decoder_.channels(), static_cast<int>(decoder_.rate()), 16)) {
        // More channels or a rate the device does not take: nothing is loaded.
        decoder_.clear();
        return false;
    }
    readLoopComments();
    return true;
}

void OggPlayer::readLoopComments() {
    commentLoopStart = 0;
    commentLoopLength = 0;
    for (const std::string& comment : decoder_.comments()) {
        size_t eq = comment.find('=');
        std::string key = comment.substr(0, eq);
        for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        int value = eq == std::string::npos ? 0 : leadingInteger(comment.substr(eq + 1));
        if (key == "loopstart") commentLoopStart = value;
        else if (key == "looplength") commentLoopLength = value;
    }
    m_nLoopStart = commentLoopStart;
    m_nLoopLength = commentLoopLength;
}

void OggPlayer::play(int offset, int fadeIn, int loopStart, int loopEnd) {
    std::lock_guard<std::recursive_mutex> guard(stream.mutex());
    m_nLoopStart = commentLoopStart;
    m_nLoopLength = commentLoopLength;
    if (loopStart != kNil) m_nLoopStart = loopStart;
    if (loopEnd != kNil) m_nLoopLength = static_cast<int>(static_cast<int64_t>(loopEnd) - m_nLoopStart);
    if (offset != kNil && decoder_.isOpen()) decoder_.pcmSeek(offset);
    stream.setVolume(stream.targetVolume);
    stream.cancelFadeOut();
    if (fadeIn > 0) stream.fadeIn(fadeIn);
    stream.start();
}

void OggPlayer::setTargetVolume(int volume) {
    std::lock_guard<std::recursive_mutex> guard(stream.mutex());
    if (volume != kNil) stream.targetVolume = volume;
}

int OggPlayer::playCommand(int fadeIn, int volume, int offset, int loopStart, int loopEnd, bool offsetIsCurrent) {
    std::lock_guard<std::recursive_mutex> guard(stream.mutex());
    if (offsetIsCurrent) offset = static_cast<int>(m_nCurSec);
    const int current = static_cast<int>(m_nCurSec);
    setTargetVolume(volume);
    play(offset, fadeIn, loopStart, loopEnd);
    return current;
}

void OggPlayer::stopCommand(int step) { stream.fadeOut(step); }

void OggPlayer::pauseCommand() { stream.pause(); }

void OggPlayer::volumeCommand(int volume) {
    std::lock_guard<std::recursive_mutex> guard(stream.mutex());
    stream.setVolume(volume);
    setTargetVolume(volume);
}

void OggPlayer::release() { stream.close(); }

bool OggPlayer::sourceReady() const { return decoder_.isOpen(); }

int OggPlayer::fill(uint8_t* buffer, int bufferSize) {
    int filled = 0;
    int emptyReads = 0;
    while (filled < bufferSize) {
        long n = decoder_.read(buffer + filled, kChunkBytes, &currentSection);
        if (n == 0) {
            // The end of the stream: every file loops from its start.
            decoder_.pcmSeek(0);
            n = decoder_.read(buffer + filled, kChunkBytes, &currentSection);
        }
        if (n <= 0) {
            // A damaged packet is skipped; a stream that gives nothing at all ends the fill.
            if (++emptyReads >= kMaxEmptyReads) break;
            continue;
        }
        emptyReads = 0;
        if (m_nLoopLength != 0 &&
            decoder_.pcmTell() >= static_cast<int64_t>(m_nLoopStart) + static_cast<int64_t>(m_nLoopLength))
            decoder_.pcmSeek(m_nLoopStart);
        filled += static_cast<int>(n);
    }
    m_nCurSec = static_cast<double>(decoder_.pcmTell());
    return filled;
}

void OggPlayer::rewind() { decoder_.pcmSeek(0); }

void OggPlayer::releaseSource() { decoder_.clear(); }

void OggPlayer::frameService() {
    stream.frameService();
    reportWriteFailures();
}

void OggPlayer::writeFailed(int) { unreportedWriteFailures_.fetch_add(1); }

void OggPlayer::reportWriteFailures() {
    // A device that refuses every block fails on each refill: the failures
    // between two frames make one box, not a box each.
    if (unreportedWriteFailures_.exchange(0) == 0 || !services_.messageBox) return;
    services_.messageBox("oggManager::Streamimg()", sj("oggManager::Streamimg() \n waveOutWrite()の失敗"));
}

}  // namespace qf
