#include "audio/kpi_player.h"

#include <limits>

#include "platform/sjis.h"
#include "script/nil.h"

namespace qf {

namespace {

StreamPlayer::Traits kpiTraits() {
    StreamPlayer::Traits t;
    t.bufferSlack = 0;
    t.countsPlays = false;
    t.fades = false;
    t.rewindsOnStop = false;
    return t;
}

}  // namespace

KpiPlayer::KpiPlayer(SoundDevice& device, AudioServices services)
    : services_(std::move(services)), stream(device, *this, kpiTraits(), services_.isForeground) {}

KpiPlayer::~KpiPlayer() = default;

void KpiPlayer::setLibraryAccess(KpiLibraryAccess access) {
    std::lock_guard<std::recursive_mutex> guard(stream.mutex());
    decoder_.access = std::move(access);
}

bool KpiPlayer::init(const std::string& pluginSjis) {
    std::lock_guard<std::recursive_mutex> guard(stream.mutex());
    release();
    const KpiDecoder::LoadResult result = decoder_.load(pluginSjis);
    if (result == KpiDecoder::LoadResult::kNoModule && services_.messageBox)
        services_.messageBox("dialog", sj("エラー：kpiInit()"));
    return result == KpiDecoder::LoadResult::kReady;
}

bool KpiPlayer::startOutput() {
    const qf_KpiSoundInfo& info = decoder_.soundInfo();
    if (stream.openOutput(static_cast<int>(info.channels), static_cast<int>(info.samplesPerSecond),
                          static_cast<int>(info.bitsPerSample)))
        return true;
    // A format the device does not take: the sound is of no use.
    decoder_.closeSound();
    return false;
}

bool KpiPlayer::openMemory(std::vector<uint8_t> image) {
    std::lock_guard<std::recursive_mutex> guard(stream.mutex());
    decoder_.closeSound();
    image_ = std::move(image);
    if (!decoder_.hasModule()) return false;
    const uint32_t size = image_.size() > std::numeric_limits<uint32_t>::max()
                              ? std::numeric_limits<uint32_t>::max()
                              : static_cast<uint32_t>(image_.size());
    if (!decoder_.openMemory(image_.data(), size) || !startOutput()) {
        if (debugTrace) debugTrace(sj("エラー：kpiLoadMem()"), sj("kpiサウンドファイルを開けません"));
        return false;
    }
    return true;
}

bool KpiPlayer::openFile(const std::string& soundSjis) {
    std::lock_guard<std::recursive_mutex> guard(stream.mutex());
    if (!decoder_.hasModule()) return false;
    if (!decoder_.openFile(soundSjis) || !startOutput()) {
        if (services_.messageBox) services_.messageBox(sj("エラー：kpiLoad()"), sj("kpiサウンドファイルを開けません"));
        return false;
    }
    return true;
}

void KpiPlayer::loadCommand(const std::string& soundSjis, const std::string& pluginSjis) {
    std::lock_guard<std::recursive_mutex> guard(stream.mutex());
    if (!init(pluginSjis)) return;
    std::vector<uint8_t> image;
    if (!services_.readResource || !services_.readResource(soundSjis, image) || image.empty()) {
        if (services_.messageBox) {
            const std::string& caption = sj("エラー：kpiload");
            services_.messageBox(caption, caption + "\n" + soundSjis + sj("が見つかりません"));
        }
        return;
    }
    if (!openMemory(std::move(image))) openFile(soundSjis);
}

void KpiPlayer::playAt(int seconds) {
    std::lock_guard<std::recursive_mutex> guard(stream.mutex());
    if (stream.m_nStatus == StreamPlayer::kNothingLoaded) return;
    if (seconds < 0) seconds = previousPosition;
    if (seconds == currentPosition) return;
    previousPosition = currentPosition;
    currentPosition = seconds;
    stream.m_nStatus = StreamPlayer::kPlaying;
    const int64_t ms = static_cast<int64_t>(seconds) * 1000;
    decoder_.seek(ms > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                            : static_cast<uint32_t>(ms));
}

void KpiPlayer::playCommand(int seconds, int volume) {
    std::lock_guard<std::recursive_mutex> guard(stream.mutex());
    playAt(seconds);
    if (volume != kNil) stream.setVolume(volume);
}

void KpiPlayer::stopCommand() { stream.requestStop(); }

void KpiPlayer::pauseCommand() { stream.pause(); }

void KpiPlayer::volumeCommand(int volume) { stream.setVolume(volume); }

void KpiPlayer::release() { stream.close(); }

bool KpiPlayer::sourceReady() const { return decoder_.hasSound(); }

int KpiPlayer::fill(uint8_t* buffer, int bufferSize) {
    if (bufferSize <= 0) return 0;
    decoder_.render(buffer, static_cast<uint32_t>(bufferSize));
    // The whole buffer goes out whatever the decoder rendered.
    return bufferSize;
}

void KpiPlayer::releaseSource() { decoder_.unload(); }

void KpiPlayer::frameService() {
    stream.frameService();
    reportWriteFailures();
}

void KpiPlayer::writeFailed(int code) {
    lastWriteFailure_.store(code);
    unreportedWriteFailures_.fetch_add(1);
}

void KpiPlayer::reportWriteFailures() {
    // The failures between two frames make one report, not one each.
    if (unreportedWriteFailures_.exchange(0) == 0 || !services_.messageBox) return;
    services_.messageBox("kpiManager::Streamimg()", sj("kpiManager::Streamimg() \n waveOutWrite()の失敗"));
    for (int n : {5, 6, 7, 33, lastWriteFailure_.load()}) services_.messageBox("dialog", std::to_string(n));
}

}  // namespace qf
