#include "platform/audio/mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio_test_support.h"
#include "platform/audio/wav_decode.h"

namespace qf {
namespace {

using test::sine;

std::vector<uint8_t> bytesOf(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> out(samples.size() * 2);
    std::memcpy(out.data(), samples.data(), out.size());
    return out;
}

std::vector<int16_t> stereo(const std::vector<int16_t>& left, const std::vector<int16_t>& right) {
    std::vector<int16_t> out(left.size() * 2);
    for (size_t i = 0; i < left.size(); ++i) {
        out[2 * i] = left[i];
        out[2 * i + 1] = right[i];
    }
    return out;
}

TEST(Mixer, BlocksPlayAtTheirPlaceWithTheStreamsVolume) {
    Mixer mixer;
    auto stream = mixer.openStream(WaveFormat{44100, 2, 16}, nullptr);
    ASSERT_TRUE(stream);
    std::vector<int16_t> out;
    mixer.advanceMs(10, &out);  // 441 frames of silence before the block
    const auto left = sine(2205, 1000, 44100, 10000);
    const auto right = sine(2205, 1500, 44100, 6000);
    const auto block = bytesOf(stereo(left, right));
    ASSERT_EQ(stream->write(block.data(), block.size()), kWaveOk);
    mixer.advanceMs(60, &out);
    ASSERT_EQ(out.size(), 2u * 3087);
    for (size_t i = 0; i < 441; ++i) ASSERT_EQ(out[2 * i], 0) << i;
    // At the mixer's own rate and full volume the samples pass unchanged.
    for (size_t i = 0; i < 2205; ++i) {
        ASSERT_EQ(out[2 * (441 + i)], left[i]) << i;
        ASSERT_EQ(out[2 * (441 + i) + 1], right[i]) << i;
    }
    for (size_t i = 441 + 2205; i < 3087; ++i) ASSERT_EQ(out[2 * i], 0) << i;

    // 0x8000 halves a channel; the high word is the right channel.
    stream->setVolume(0x8000u | 0x0000u << 16);
    EXPECT_EQ(stream->volume(), 0x8000u);
    out.clear();
    ASSERT_EQ(stream->write(block.data(), block.size()), kWaveOk);
    mixer.advanceMs(50, &out);
    for (size_t i = 0; i < 2205; ++i) {
        ASSERT_NEAR(out[2 * i], left[i] / 2.0, 1.0) << i;
        ASSERT_EQ(out[2 * i + 1], 0) << i;
    }

    // Sums clip at the 16-bit range instead of wrapping.
    stream->setVolume(kFullVolume);
    auto loud = mixer.openStream(WaveFormat{44100, 1, 16}, nullptr);
    std::vector<int16_t> high(441, 30000);
    auto highBytes = bytesOf(high);
    stream->write(bytesOf(stereo(high, high)).data(), 441 * 4);
    loud->write(highBytes.data(), highBytes.size());
    out.clear();
    mixer.advanceMs(10, &out);
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(out[881], 32767);
}

TEST(Mixer, BlockReportsComeWhenTheBlockEndsInVirtualTime) {
    Mixer mixer;
    std::vector<uint32_t> reportedAt;
    std::unique_ptr<WaveOutStream> stream;
    uint64_t virtualMs = 0;
    int refills = 0;
    const auto block = bytesOf(std::vector<int16_t>(2 * 2205, 5000));  // 50 ms of a constant
    stream = mixer.openStream(WaveFormat{44100, 2, 16}, [&] {
        reportedAt.push_back(static_cast<uint32_t>(mixer.framesRendered()));
        // Writing from the report is allowed: no lock of the mixer is held.
        if (refills > 0) {
            --refills;
            stream->write(block.data(), block.size());
        }
    });
    stream->write(block.data(), block.size());
    stream->write(block.data(), block.size());
    EXPECT_EQ(stream->queuedBlocks(), 2);
    auto advance = [&](uint32_t ms, std::vector<int16_t>* out = nullptr) {
        mixer.advanceMs(ms, out);
        virtualMs += ms;
    };
    advance(49);
    EXPECT_TRUE(reportedAt.empty());
    advance(1);
    ASSERT_EQ(reportedAt.size(), 1u);
    EXPECT_EQ(reportedAt[0], 2205u);  // exactly at the block's last frame
    advance(50);
    ASSERT_EQ(reportedAt.size(), 2u);
    EXPECT_EQ(reportedAt[1], 4410u);
    EXPECT_EQ(stream->queuedBlocks(), 0);

    // Refilling from the report keeps the sound gapless across one long advance.
    reportedAt.clear();
    refills = 18;
    stream->write(block.data(), block.size());
    stream->write(block.data(), block.size());
    std::vector<int16_t> out;
    advance(1000, &out);
    EXPECT_EQ(reportedAt.size(), 20u);
    for (size_t i = 0; i < 20 * 2205 * 2; ++i) ASSERT_EQ(out[i], 5000) << i;
    EXPECT_EQ(test::peak(out, 20 * 2205 * 2, out.size()), 0);

    // Paused, time passes without progress; restart goes on where it stood.
    reportedAt.clear();
    stream->write(block.data(), block.size());
    advance(20);
    stream->pause();
    out.clear();
    advance(200, &out);
    EXPECT_EQ(test::peak(out, 0, out.size()), 0);
    EXPECT_TRUE(reportedAt.empty());
    stream->restart();
    advance(29);
    EXPECT_TRUE(reportedAt.empty());
    advance(1);
    EXPECT_EQ(reportedAt.size(), 1u);

    // A reset drops the queue; each dropped block is reported on the next render.
    reportedAt.clear();
    stream->write(block.data(), block.size());
    stream->write(block.data(), block.size());
    stream->reset();
    EXPECT_EQ(stream->queuedBlocks(), 0);
    EXPECT_TRUE(reportedAt.empty());
    out.clear();
    advance(1, &out);
    EXPECT_EQ(reportedAt.size(), 2u);
    EXPECT_EQ(test::peak(out, 0, out.size()), 0);

    // Blocks without a whole frame are refused.
    EXPECT_EQ(stream->write(block.data(), 3), kWaveInvalidBlock);
    EXPECT_EQ(stream->write(nullptr, 0), kWaveInvalidBlock);
}

TEST(Mixer, OtherRatesKeepPitchAndDuration) {
    struct Case {
        int rate, channels, bits;
    };
    for (Case c : {Case{22050, 2, 16}, Case{48000, 1, 16}, Case{11025, 1, 8}, Case{32000, 2, 8}}) {
        SCOPED_TRACE(c.rate);
        Mixer mixer;
        int reports = 0;
        auto stream = mixer.openStream(WaveFormat{c.rate, c.channels, c.bits}, [&] { ++reports; });
        ASSERT_TRUE(stream);
        // Ten blocks of 50 ms (rounded down to whole frames) of a
        // phase-continuous 1 kHz tone.
        const size_t blockFrames = static_cast<size_t>(c.rate / 20);
        const size_t frames = 10 * blockFrames;
        const auto tone = sine(frames, 1000, c.rate, 12000);
        const double expectedEnd = std::ceil(double(frames) * 44100 / c.rate);
        for (size_t at = 0; at < frames; at += blockFrames) {
            std::vector<uint8_t> block;
            for (size_t i = at; i < at + blockFrames; ++i)
                for (int ch = 0; ch < c.channels; ++ch) {
                    if (c.bits == 8) block.push_back(static_cast<uint8_t>(std::min((tone[i] + 128) >> 8, 127) + 128));
                    else {
                        block.push_back(static_cast<uint8_t>(tone[i]));
                        block.push_back(static_cast<uint8_t>(tone[i] >> 8));
                    }
                }
            ASSERT_EQ(stream->write(block.data(), block.size()), kWaveOk);
        }
        std::vector<int16_t> out;
        mixer.advanceMs(499, &out);
        EXPECT_EQ(reports, 9);
        mixer.advanceMs(1, &out);
        EXPECT_EQ(reports, 10);  // the last block ends within the half second's last millisecond
        mixer.advanceMs(100, &out);
        const auto left = test::channel(out, 0);
        // Duration: the sound lasts as long as its source, give or take a frame.
        EXPECT_NEAR(double(test::endOfSound(left, 300)), expectedEnd, 2.0);
        const std::vector<int16_t> steady(left.begin() + 100, left.begin() + 22000);
        EXPECT_NEAR(test::measureFrequency(steady, 44100), 1000.0, 0.2);
        // Against the ideal 1 kHz tone at 44100 Hz the conversion error stays
        // at the level of 16-bit rounding (a four-point cubic curve between
        // samples reaches about 79 dB from 22,050 Hz); 8-bit sources bring
        // their own noise.
        const auto ideal = sine(22050, 1000, 44100, 12000);
        double error = 0, signal = 0;
        for (size_t i = 100; i < 22000; ++i) {
            error += std::pow(double(left[i]) - ideal[i], 2);
            signal += std::pow(double(ideal[i]), 2);
        }
        const double snrDb = 10 * std::log10(signal / error);
        EXPECT_GT(snrDb, c.bits == 8 ? 40.0 : 82.0) << "signal to error " << snrDb << " dB";
    }
}

// A stream fed the way the stream player feeds it, the next block written from
// each report with two in flight: the converted blocks join without a seam,
// the last one plays to its end when nothing follows, and a block written
// after the stream ran dry plays at once.
TEST(Mixer, ConvertedStreamsJoinBlocksSeamlesslyAndPlayOutWhenDry) {
    Mixer mixer;
    const auto tone = sine(11 * 2205, 1000, 22050, 12000);
    auto blockBytes = [&](size_t n) {
        std::vector<int16_t> part(tone.begin() + static_cast<long>(n * 2205),
                                  tone.begin() + static_cast<long>((n + 1) * 2205));
        return bytesOf(part);
    };
    std::unique_ptr<WaveOutStream> stream;
    size_t written = 0;
    int reports = 0;
    stream = mixer.openStream(WaveFormat{22050, 1, 16}, [&] {
        ++reports;
        if (written < 10) {
            const auto b = blockBytes(written++);
            stream->write(b.data(), b.size());
        }
    });
    ASSERT_TRUE(stream);
    for (int i = 0; i < 2; ++i) {
        const auto b = blockBytes(written++);
        ASSERT_EQ(stream->write(b.data(), b.size()), kWaveOk);
    }
    // Blocks of 100 ms: ten of them make one second.
    std::vector<int16_t> out;
    mixer.advanceMs(1100, &out);
    EXPECT_EQ(reports, 10);
    auto left = test::channel(out, 0);
    const auto ideal = sine(44100, 1000, 44100, 12000);
    double error = 0, signal = 0;
    for (size_t i = 100; i < 44000; ++i) {
        error += std::pow(double(left[i]) - ideal[i], 2);
        signal += std::pow(double(ideal[i]), 2);
    }
    EXPECT_GT(10 * std::log10(signal / error), 80.0);
    EXPECT_NEAR(double(test::endOfSound(left, 300)), 44100.0, 2.0);

    // Dry for a while; the eleventh block, written now, starts with the next frame.
    const auto last = blockBytes(10);
    ASSERT_EQ(stream->write(last.data(), last.size()), kWaveOk);
    out.clear();
    mixer.advanceMs(200, &out);
    EXPECT_EQ(reports, 11);
    left = test::channel(out, 0);
    EXPECT_LT(test::firstAbove(left, 300), 10u);
    EXPECT_NEAR(double(test::endOfSound(left, 300)), 4410.0, 2.0);
    EXPECT_NEAR(test::measureFrequency({left.begin() + 100, left.begin() + 4300}, 44100), 1000.0, 0.5);
}

TEST(Mixer, TheEffectPlayerPlaysOneSoundAtATime) {
    Mixer mixer;
    std::string error;
    const auto first = test::wavImage(sine(44100, 440, 44100, 8000), 44100, 1);
    const auto second = test::wavImage(sine(22050, 880, 22050, 2000), 22050, 1);
    ASSERT_TRUE(mixer.playEffectImage(first.data(), first.size(), &error)) << error;
    std::vector<int16_t> out;
    mixer.advanceMs(100, &out);
    EXPECT_GT(test::peak(out, 0, out.size()), 7900);
    EXPECT_TRUE(mixer.effectPlaying());
    ASSERT_TRUE(mixer.playEffectImage(second.data(), second.size(), &error)) << error;
    out.clear();
    mixer.advanceMs(1100, &out);
    const auto left = test::channel(out, 0);
    // Only the second, quieter sound (its conversion from 22,050 Hz may
    // overshoot by a hair), for its one second, then silence.
    EXPECT_LE(test::peak(left, 0, left.size()), 2020);
    EXPECT_NEAR(double(test::endOfSound(left, 100)), 44100.0, 2.0);
    EXPECT_NEAR(test::measureFrequency({left.begin(), left.begin() + 40000}, 44100), 880.0, 0.5);
    EXPECT_FALSE(mixer.effectPlaying());

    // A refused image stops what plays and says why.
    ASSERT_TRUE(mixer.playEffectImage(first.data(), first.size(), &error));
    const uint8_t junk[] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '};
    EXPECT_FALSE(mixer.playEffectImage(junk, sizeof junk, &error));
    EXPECT_EQ(error, wavErrorText(WavError::NotWave));
    EXPECT_FALSE(mixer.effectPlaying());
    EXPECT_FALSE(mixer.playEffectFile("/nonexistent/quillfen.wav", &error));
}

}  // namespace
}  // namespace qf
