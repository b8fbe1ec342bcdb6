#include "audio/ogg_player.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "audio_test_support.h"
#include "platform/audio/mixer.h"
#include "platform/sjis.h"
#include "script/nil.h"

namespace qf {
namespace {

constexpr int kChunkFrames = OggPlayer::kChunkBytes / 2;  // mono 16-bit

std::vector<int16_t> decodeAll(const std::vector<uint8_t>& image) {
    OggDecoder d;
    EXPECT_EQ(d.open(image), 0);
    std::vector<int16_t> out;
    uint8_t chunk[4096];
    for (long n; (n = d.read(chunk, sizeof chunk, nullptr)) != 0;)
        for (long i = 0; i + 1 < n; i += 2) out.push_back(static_cast<int16_t>(chunk[i] | chunk[i + 1] << 8));
    return out;
}

size_t firstDifference(const std::vector<int16_t>& a, const std::vector<int16_t>& b) {
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    return i;
}

uint32_t word(int v) {
    uint32_t level = static_cast<uint32_t>(v) * 65535u / 100u;
    return level | level << 16;
}

struct Rig {
    test::FakeGame game;
    Mixer mixer;
    OggPlayer ogg{mixer, game.services()};
    std::vector<int16_t> out;

    // Frames of 16 ms as the frame loop runs them: the service, then the clock.
    void run(int ms) {
        for (int t = 0; t < ms; t += 16) {
            ogg.frameService();
            mixer.advanceMs(16, &out);
        }
    }
    std::vector<int16_t> left() const { return test::channel(out, 0); }
};

TEST(OggPlayer, PlaysToTheLoopEndAndGoesOnAtTheLoopStartForEver) {
    Rig rig;
    // Four seconds of a rising tone; the comments' keys in any letter case.
    const auto image = test::oggImage(test::chirp(176400, 200, 4000, 44100, 12000), 44100, 1,
                                      {"LOOPSTART=44100", "LoopLength=88200", "ARTIST=x"});
    rig.game.resources["bgm\\loop.ogg"] = image;
    rig.ogg.loadCommand("bgm\\loop.ogg");
    EXPECT_EQ(rig.ogg.stream.m_nStatus, StreamPlayer::kStopped);
    EXPECT_EQ(rig.ogg.commentLoopStart, 44100);
    EXPECT_EQ(rig.ogg.commentLoopLength, 88200);
    rig.ogg.playCommand(kNil, kNil, kNil, kNil, kNil, false);
    rig.run(5800);

    const auto ref = decodeAll(image);
    const auto left = rig.left();
    // Up to the loop end the music is the file from its start; the jump comes
    // within one decoder chunk after it.
    const size_t jump = firstDifference(left, ref);
    EXPECT_GE(jump, 132300u);
    EXPECT_LT(jump, 132300u + kChunkFrames);
    // After the jump the output is the file from the loop start, and not the
    // file going on.
    EXPECT_GT(test::correlation(left, jump, ref, 44100, 44100), 0.999);
    EXPECT_LT(test::correlation(left, jump, ref, jump, 44100), 0.3);
    // … and again at the end of the second pass.
    const std::vector<int16_t> fromLoopStart(ref.begin() + 44100, ref.end());
    const std::vector<int16_t> afterJump(left.begin() + static_cast<long>(jump), left.end());
    const size_t secondEnd = 44100 + firstDifference(afterJump, fromLoopStart);
    EXPECT_GE(secondEnd, 132300u);
    EXPECT_LT(secondEnd, 132300u + kChunkFrames);
    EXPECT_GT(test::correlation(left, jump + secondEnd - 44100, ref, 44100, 20000), 0.999);
}

TEST(OggPlayer, AFileWithoutLoopPointsStartsAgainAtItsFirstSample) {
    Rig rig;
    const auto image = test::oggImage(test::chirp(22050, 300, 3000, 44100, 12000), 44100, 1, {});
    rig.game.resources["a.ogg"] = image;
    rig.ogg.loadCommand("a.ogg");
    rig.ogg.playCommand(kNil, kNil, kNil, kNil, kNil, false);
    rig.run(1200);
    const auto ref = decodeAll(image);
    const auto left = rig.left();
    ASSERT_EQ(ref.size(), 22050u);
    EXPECT_EQ(firstDifference(left, ref), 22050u);
    EXPECT_GT(test::correlation(left, 22050, ref, 0, 22050), 0.9999);
    EXPECT_GT(test::correlation(left, 44100, ref, 0, 5000), 0.9999);
}

TEST(OggPlayer, PlayArgumentsOverrideTheCommentsAndSetVolumeAndFade) {
    Rig rig;
    const auto image = test::oggImage(test::chirp(88200, 200, 4000, 44100, 12000), 44100, 1,
                                      {"loopstart=44100", "looplength=22050"});
    rig.game.resources["b.ogg"] = image;
    rig.ogg.loadCommand("b.ogg");
    rig.ogg.playCommand(0, 80, 0, 1000, 5000, false);
    EXPECT_EQ(rig.ogg.m_nLoopStart, 1000);
    EXPECT_EQ(rig.ogg.m_nLoopLength, 4000);
    EXPECT_EQ(rig.ogg.stream.targetVolume, 80);
    rig.run(400);
    EXPECT_EQ(rig.ogg.stream.deviceVolume(), word(80));
    const auto ref = decodeAll(image);
    const auto left = rig.left();
    // At volume 80 the output is the file scaled by 0.8 up to the jump.
    size_t jump = 0;
    while (jump < left.size() && std::abs(left[jump] - 0.8 * ref[jump]) <= 2.0) ++jump;
    EXPECT_GE(jump, 5000u);
    EXPECT_LT(jump, 5000u + kChunkFrames);
    EXPECT_GT(test::correlation(left, jump, ref, 1000, 3000), 0.999);
    EXPECT_LT(test::correlation(left, jump, ref, jump, 3000), 0.3);

    // A play without loop arguments goes back to the comments' points.
    rig.ogg.playCommand(kNil, kNil, kNil, kNil, kNil, false);
    EXPECT_EQ(rig.ogg.m_nLoopStart, 44100);
    EXPECT_EQ(rig.ogg.m_nLoopLength, 22050);

    // A fade-in of 10 points per buffer: two buffers go out at once (11, 21),
    // then one each time a buffer comes back, up to the target.
    rig.ogg.stopCommand(kNil);
    rig.run(300);
    EXPECT_EQ(rig.ogg.stream.m_nStatus, StreamPlayer::kStopped);
    rig.ogg.playCommand(10, 100, kNil, kNil, kNil, false);
    const int buffersBefore = rig.ogg.stream.m_nCntPlay;
    rig.ogg.frameService();
    EXPECT_EQ(rig.ogg.stream.deviceVolume(), word(21));
    auto untilBuffer = [&](int n) {
        for (int ms = 0; ms < 2000 && rig.ogg.stream.m_nCntPlay < buffersBefore + n; ++ms) rig.mixer.advanceMs(1);
    };
    untilBuffer(9);
    EXPECT_EQ(rig.ogg.stream.deviceVolume(), word(91));
    EXPECT_GT(rig.ogg.stream.fadeValue, 0);
    untilBuffer(10);
    EXPECT_EQ(rig.ogg.stream.deviceVolume(), word(100));
    EXPECT_EQ(rig.ogg.stream.fadeValue, 0);
    untilBuffer(11);
    EXPECT_EQ(rig.ogg.stream.m_nCntPlay, buffersBefore + 11);
    EXPECT_EQ(rig.ogg.stream.deviceVolume(), word(100));
}

TEST(OggPlayer, OffsetVariableResumesWhereTheLastRefillLeftTheMusic) {
    Rig rig;
    const auto image = test::oggImage(test::chirp(176400, 200, 4000, 44100, 12000), 44100, 1, {});
    rig.game.resources["c.ogg"] = image;
    rig.ogg.loadCommand("c.ogg");
    rig.ogg.playCommand(kNil, kNil, kNil, kNil, kNil, false);
    rig.run(1000);
    rig.ogg.stopCommand(0);
    rig.run(200);
    const double position = rig.ogg.m_nCurSec;
    EXPECT_GT(position, 44100.0);
    EXPECT_LT(position, 44100.0 * 1.2);
    rig.out.clear();
    EXPECT_EQ(rig.ogg.playCommand(0, 100, kNil, kNil, kNil, true), static_cast<int>(position));
    rig.run(200);
    const auto ref = decodeAll(image);
    EXPECT_GT(test::correlation(rig.left(), 0, ref, static_cast<size_t>(position), 4410), 0.999);

    // Without the variable the offset is an ordinary sample number, and the
    // value for _offset is still the last refill's position.
    const int before = static_cast<int>(rig.ogg.m_nCurSec);
    EXPECT_EQ(rig.ogg.playCommand(kNil, kNil, 88200, kNil, kNil, false), before);
    rig.mixer.advanceMs(50);  // one buffer comes back; the next is decoded from the new place
    EXPECT_GE(rig.ogg.m_nCurSec, 88200.0 + 2205);
    EXPECT_LT(rig.ogg.m_nCurSec, 88200.0 + 2205 + kChunkFrames);
}

TEST(OggPlayer, VolumeCommandAndLoadFailures) {
    Rig rig;
    const auto image = test::oggImage(test::sine(4410, 440, 44100, 5000), 44100, 1, {});
    rig.game.resources["d.ogg"] = image;
    rig.ogg.loadCommand("d.ogg");
    // 150 puts the device at full volume and stays the target of later plays.
    rig.ogg.volumeCommand(150);
    EXPECT_EQ(rig.ogg.stream.deviceVolume(), kFullVolume);
    EXPECT_EQ(rig.ogg.stream.targetVolume, 150);
    rig.ogg.volumeCommand(30);
    EXPECT_EQ(rig.ogg.stream.deviceVolume(), word(30));
    rig.ogg.volumeCommand(150);
    rig.ogg.playCommand(kNil, kNil, kNil, kNil, kNil, false);
    EXPECT_EQ(rig.ogg.stream.volume, 100);

    // A missing file: the box, and the stream loaded before stays.
    rig.ogg.loadCommand("bgm\\none.ogg");
    ASSERT_EQ(rig.game.boxes.size(), 1u);
    EXPECT_EQ(rig.game.boxes[0].first, sj("エラー：oggload"));
    EXPECT_EQ(rig.game.boxes[0].second, sj("エラー：oggload\nbgm\\none.oggが見つかりません"));
    EXPECT_EQ(rig.ogg.stream.m_nStatus, StreamPlayer::kPlaying);
    rig.game.resources["empty.ogg"] = {};
    rig.ogg.loadCommand("empty.ogg");
    EXPECT_EQ(rig.game.boxes.size(), 2u);

    // Not an Ogg Vorbis stream: the open fails and nothing is loaded.
    rig.game.resources["e.ogg"] = test::wavImage({1, 2, 3, 4}, 44100, 1);
    rig.ogg.loadCommand("e.ogg");
    ASSERT_EQ(rig.game.boxes.size(), 3u);
    EXPECT_EQ(rig.game.boxes[2].first, "dialog");
    EXPECT_EQ(rig.game.boxes[2].second, sj("dll_ov_open_callbacks()エラー"));
    EXPECT_EQ(rig.ogg.stream.m_nStatus, StreamPlayer::kNothingLoaded);
    rig.ogg.playCommand(kNil, kNil, kNil, kNil, kNil, false);
    rig.ogg.pauseCommand();
    rig.run(100);
    EXPECT_EQ(test::peak(rig.out, 0, rig.out.size()), 0);
}

TEST(OggPlayer, AWriteFailureOnTheDeviceThreadIsShownByTheNextFrameService) {
    Rig rig;
    // The device refused two blocks, both reported on its own thread.
    std::thread device([&] {
        rig.ogg.writeFailed(kWaveInvalidBlock);
        rig.ogg.writeFailed(kWaveInvalidBlock);
    });
    device.join();
    EXPECT_TRUE(rig.game.boxes.empty());
    rig.ogg.frameService();
    ASSERT_EQ(rig.game.boxes.size(), 1u);
    EXPECT_EQ(rig.game.boxes[0].first, "oggManager::Streamimg()");
    EXPECT_EQ(rig.game.boxes[0].second, sj("oggManager::Streamimg() \n waveOutWrite()の失敗"));
    rig.ogg.frameService();
    EXPECT_EQ(rig.game.boxes.size(), 1u);
}

TEST(OggPlayer, ScriptCommandsRunWhileTheDeviceThreadRenders) {
    // Meant for the thread sanitizer as much as for its own checks.
    test::FakeGame game;
    Mixer mixer;
    OggPlayer ogg(mixer, game.services());
    game.resources["a.ogg"] = test::oggImage(test::sine(22050, 440, 22050, 8000), 22050, 2, {});
    game.resources["b.ogg"] = test::oggImage(test::chirp(44100, 200, 2000, 44100, 8000), 44100, 1, {"LOOPSTART=100", "LOOPLENGTH=3000"});
    // The device thread renders small stretches, as an audio callback does.
    std::atomic<bool> running{true};
    std::atomic<long> loudFrames{0};
    std::thread device([&] {
        std::vector<int16_t> out(2 * 256);
        while (running) {
            mixer.render(out.data(), 256);
            for (size_t i = 0; i < out.size(); i += 2)
                if (out[i] != 0) ++loudFrames;
            std::this_thread::yield();
        }
    });
    for (int round = 0; round < 200; ++round) {
        ogg.loadCommand(round % 2 ? "a.ogg" : "b.ogg");
        ogg.playCommand(round % 3 ? 5 : kNil, round % 100, round * 7, kNil, kNil, round % 5 == 0);
        for (int frame = 0; frame < 5; ++frame) {
            ogg.frameService();
            if (frame == 2) ogg.pauseCommand();
            if (frame == 3) ogg.pauseCommand();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        ogg.volumeCommand(100);
        ogg.stopCommand(round % 4);
        // MIDI shares the device thread.
        if (round % 50 == 0) {
            const auto smf = test::midiImage(2);
            mixer.loadMidi(smf.data(), smf.size(), nullptr);
            mixer.playMidi();
        } else if (round % 50 == 25) {
            mixer.toggleMidiPause();
        }
    }
    mixer.stopMidi();
    // Let it play for a moment before everything closes under the running device.
    ogg.playCommand(kNil, 100, kNil, kNil, kNil, false);
    ogg.frameService();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ogg.release();
    running = false;
    device.join();
    EXPECT_GT(loudFrames.load(), 0);
    std::lock_guard<std::recursive_mutex> guard(ogg.stream.mutex());
    EXPECT_EQ(ogg.stream.m_nStatus, StreamPlayer::kNothingLoaded);
    EXPECT_EQ(ogg.stream.m_nRest, 0);
}

}  // namespace
}  // namespace qf
