#include "audio/stream_player.h"

#include <gtest/gtest.h>

#include "audio_test_support.h"
#include "platform/audio/mixer.h"

namespace qf {
namespace {

// A decoder stand-in: a constant level, and a record of the volume in force
// at every fill.
class LevelSource final : public StreamSource {
public:
    bool ready = true;
    int16_t level = 10000;
    int rewinds = 0;
    int releases = 0;
    std::vector<int> failures;
    std::vector<int> volumesAtFill;
    std::vector<uint32_t> deviceVolumesAtFill;
    StreamPlayer* player = nullptr;
    bool fillNothing = false;

    bool sourceReady() const override { return ready; }
    int fill(uint8_t* buffer, int size) override {
        volumesAtFill.push_back(player->volume);
        deviceVolumesAtFill.push_back(player->deviceVolume());
        if (fillNothing) return 0;
        for (int i = 0; i + 1 < size; i += 2) {
            buffer[i] = static_cast<uint8_t>(level);
            buffer[i + 1] = static_cast<uint8_t>(level >> 8);
        }
        return size;
    }
    void rewind() override { ++rewinds; }
    void releaseSource() override { ++releases; }
    void writeFailed(int code) override { failures.push_back(code); }
};

StreamPlayer::Traits musicTraits() {
    StreamPlayer::Traits t;
    t.bufferSlack = 4096;
    t.countsPlays = true;
    t.fades = true;
    t.rewindsOnStop = true;
    return t;
}

struct Rig {
    Mixer mixer;
    LevelSource source;
    bool foreground = true;
    StreamPlayer player{mixer, source, musicTraits(), [this] { return foreground; }};
    std::vector<int16_t> out;

    Rig() {
        source.player = &player;
        EXPECT_TRUE(player.openOutput(2, 44100, 16));
    }
    // One 16 ms frame of the frame loop: the service, then the clock.
    void frames(int count) {
        for (int i = 0; i < count; ++i) {
            player.frameService();
            mixer.advanceMs(16, &out);
        }
    }
};

uint32_t word(int v) {
    uint32_t level = static_cast<uint32_t>(v) * 65535u / 100u;
    return level | level << 16;
}

TEST(StreamPlayer, OpensTwoFiftyMillisecondBuffersAndStartsStopped) {
    Rig rig;
    StreamPlayer& p = rig.player;
    EXPECT_EQ(p.bufferSize, 44100 * 4 / 20);
    EXPECT_EQ(p.m_nStatus, StreamPlayer::kStopped);
    EXPECT_EQ(p.stopRequest, 1);
    EXPECT_EQ(p.deviceVolume(), kFullVolume);
    // Stopped: the frame service refills nothing, and the first refill's stop
    // clears the pending stop request.
    rig.frames(3);
    EXPECT_EQ(p.m_nRest, 0);
    EXPECT_EQ(p.stopRequest, 0);
    EXPECT_TRUE(rig.source.volumesAtFill.empty());
    EXPECT_EQ(test::peak(rig.out, 0, rig.out.size()), 0);
}

TEST(StreamPlayer, FadesStepOncePerBufferAndEnd) {
    Rig rig;
    StreamPlayer& p = rig.player;
    p.setVolume(p.targetVolume);
    p.fadeIn(30);
    p.start();
    p.frameService();  // two buffers go out at once
    EXPECT_EQ(p.m_nRest, 2);
    EXPECT_EQ(rig.source.volumesAtFill, (std::vector<int>{31, 61}));
    rig.mixer.advanceMs(150);  // three more buffers, one per 50 ms
    EXPECT_EQ(rig.source.volumesAtFill, (std::vector<int>{31, 61, 91, 100, 100}));
    EXPECT_EQ(rig.source.deviceVolumesAtFill,
              (std::vector<uint32_t>{word(31), word(61), word(91), word(100), word(100)}));
    EXPECT_EQ(p.fadeValue, 0);
    EXPECT_EQ(p.m_nCntPlay, 5);

    // Fade-out from 100 by 25: 74, 49, 24, 0, then the stop at the next refill.
    rig.source.volumesAtFill.clear();
    p.fadeOut(25);
    EXPECT_EQ(p.fadeValue, -1);
    rig.mixer.advanceMs(400);
    EXPECT_EQ(rig.source.volumesAtFill, (std::vector<int>{74, 49, 24, 0}));
    EXPECT_EQ(p.m_nStatus, StreamPlayer::kStopped);
    EXPECT_EQ(p.deviceVolume(), 0u);
    EXPECT_EQ(rig.source.rewinds, 1);

    // A stop requested during a fade-out waits for its end.
    p.setVolume(100);
    p.start();
    p.frameService();
    p.fadeOut(50);
    p.stop();
    EXPECT_EQ(p.m_nStatus, StreamPlayer::kPlaying);
    // Without fades (the traits of a player that keeps no volume) the volume
    // only reaches the device, and a fade-out is a plain stop request.
    LevelSource other;
    StreamPlayer plain(rig.mixer, other, StreamPlayer::Traits{}, nullptr);
    other.player = &plain;
    ASSERT_TRUE(plain.openOutput(1, 22050, 8));
    EXPECT_EQ(plain.bufferSize, 22050 / 20);
    plain.setVolume(40);
    EXPECT_EQ(plain.volume, 100);
    EXPECT_EQ(plain.deviceVolume(), word(40));
    plain.fadeOut(10);
    EXPECT_EQ(plain.fadeValue, 0);
    EXPECT_EQ(plain.stopRequest, 1);
}

TEST(StreamPlayer, PauseToggleStartsALoadedStreamAndHoldsAPlayingOne) {
    Rig rig;
    StreamPlayer& p = rig.player;
    p.stop();  // clears the initial stop request, as a load does
    p.pause();
    EXPECT_EQ(p.m_nStatus, StreamPlayer::kPlaying);
    EXPECT_EQ(p.m_nRest, 2);
    rig.frames(10);
    EXPECT_NEAR(test::rms(rig.out), 10000.0, 1.0);

    p.pause();
    EXPECT_EQ(p.m_nStatus, StreamPlayer::kStopped);
    rig.out.clear();
    rig.frames(10);
    EXPECT_EQ(test::peak(rig.out, 0, rig.out.size()), 0);
    EXPECT_EQ(p.m_nRest, 2);  // the queued buffers wait
    p.pause();
    rig.out.clear();
    rig.frames(10);
    EXPECT_NEAR(test::rms(rig.out), 10000.0, 1.0);
}

TEST(StreamPlayer, AStopLetsTheQueuedBuffersPlayOut) {
    Rig rig;
    StreamPlayer& p = rig.player;
    p.start();
    p.frameService();
    rig.mixer.advanceMs(20, &rig.out);
    p.requestStop();
    rig.out.clear();
    rig.mixer.advanceMs(200, &rig.out);
    // The buffer playing ends at 50 ms, the stop comes with its refill, and the
    // second buffer still plays to 100 ms.
    const auto left = test::channel(rig.out, 0);
    EXPECT_EQ(test::endOfSound(left, 0), size_t(2 * 2205 - 882));
    EXPECT_EQ(p.m_nStatus, StreamPlayer::kStopped);
    EXPECT_EQ(rig.source.rewinds, 1);
    EXPECT_EQ(p.m_nRest, -1);  // the last buffer came back after the stop reset the count
    rig.frames(2);
    EXPECT_EQ(p.m_nRest, 0);
}

TEST(StreamPlayer, OutOfTheForegroundOnlyTheFrameServiceRefills) {
    Rig rig;
    StreamPlayer& p = rig.player;
    p.start();
    p.frameService();
    rig.foreground = false;
    rig.mixer.advanceMs(300, &rig.out);
    // The two queued buffers run out and nothing follows.
    EXPECT_EQ(test::endOfSound(test::channel(rig.out, 0), 0), size_t(2 * 2205));
    EXPECT_EQ(p.m_nRest, 0);
    // The frame service refills a dry queue even then; the sound goes on.
    rig.out.clear();
    rig.frames(1);
    EXPECT_EQ(p.m_nRest, 2);
    EXPECT_GT(test::rms(rig.out), 9999.0);

    // A source that decodes nothing sends nothing: the queue runs dry and each
    // frame asks again.
    rig.foreground = true;
    rig.mixer.advanceMs(200);
    rig.source.fillNothing = true;
    rig.source.volumesAtFill.clear();
    rig.mixer.advanceMs(300);
    EXPECT_EQ(rig.source.volumesAtFill.size(), 2u);  // one try per returned buffer
    EXPECT_EQ(p.m_nRest, 0);
    rig.out.clear();
    rig.frames(2);
    EXPECT_EQ(rig.source.volumesAtFill.size(), 4u);
    EXPECT_EQ(p.m_nRest, 0);
    EXPECT_EQ(test::peak(rig.out, 0, rig.out.size()), 0);
    EXPECT_TRUE(rig.source.failures.empty());

    p.close();
    EXPECT_EQ(p.m_nStatus, StreamPlayer::kNothingLoaded);
    EXPECT_EQ(rig.source.releases, 1);
    EXPECT_EQ(p.deviceVolume(), 0u);
    p.pause();
    p.frameService();
    EXPECT_EQ(p.m_nStatus, StreamPlayer::kNothingLoaded);
}

TEST(StreamPlayer, ReportsOfAClosedOutputDoNotReachTheNextOne) {
    Rig rig;
    StreamPlayer& p = rig.player;
    p.start();
    p.frameService();
    p.close();
    ASSERT_TRUE(p.openOutput(2, 44100, 16));
    rig.mixer.advanceMs(200);
    EXPECT_EQ(p.m_nRest, 0);
    EXPECT_EQ(p.m_nStatus, StreamPlayer::kStopped);
    // A player that goes away while its blocks play leaves nothing behind that
    // could call it.
    {
        LevelSource s;
        StreamPlayer shortLived(rig.mixer, s, musicTraits(), nullptr);
        s.player = &shortLived;
        shortLived.openOutput(2, 44100, 16);
        shortLived.start();
        shortLived.frameService();
    }
    rig.mixer.advanceMs(200);
}

}  // namespace
}  // namespace qf
