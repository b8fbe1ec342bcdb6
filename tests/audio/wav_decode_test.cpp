#include "platform/audio/wav_decode.h"

#include <gtest/gtest.h>

#include "audio_test_support.h"

namespace qf {
namespace {

void put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + static_cast<size_t>(i)] = static_cast<uint8_t>(x >> (8 * i));
}

TEST(WavDecode, ReadsEightAndSixteenBitMonoAndStereoAsSixteenBitStereo) {
    PcmClip clip;
    const std::vector<int16_t> stereo = {100, -200, 32767, -32768, 0, 5};
    auto image = test::wavImage(stereo, 48000, 2);
    ASSERT_EQ(decodeWav(image.data(), image.size(), clip), WavError::None);
    EXPECT_EQ(clip.sampleRate, 48000);
    EXPECT_EQ(clip.samples, stereo);

    image = test::wavImage({-32768, 0, 256, 32512}, 8000, 1, 8);
    ASSERT_EQ(decodeWav(image.data(), image.size(), clip), WavError::None);
    EXPECT_EQ(clip.sampleRate, 8000);
    EXPECT_EQ(clip.samples, (std::vector<int16_t>{-32768, -32768, 0, 0, 256, 256, 32512, 32512}));

    // Unknown chunks are skipped with their pad byte; a RIFF size that is
    // wrong and a data chunk that claims more than is there are tolerated,
    // and a partial last frame is dropped.
    image = test::wavImage({1, 2, 3, 4}, 22050, 2);
    std::vector<uint8_t> odd = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    image.insert(image.begin() + 12, odd.begin(), odd.end());
    put32(image, 4, 0xFFFFFFF0u);
    put32(image, image.size() - 12, 1000);
    image.push_back(9);  // half a sample
    ASSERT_EQ(decodeWav(image.data(), image.size(), clip), WavError::None);
    EXPECT_EQ(clip.samples, (std::vector<int16_t>{1, 2, 3, 4}));

    // The extensible header with a PCM sub-format.
    std::vector<uint8_t> ext = test::wavImage({7, 8}, 44100, 1);
    put32(ext, 16, 40);
    ext[20] = 0xFE;
    ext[21] = 0xFF;
    std::vector<uint8_t> extra(24, 0);
    extra[0] = 22;                  // cbSize
    extra[8] = 1;                   // sub-format tag: PCM
    ext.insert(ext.begin() + 36, extra.begin(), extra.end());
    ASSERT_EQ(decodeWav(ext.data(), ext.size(), clip), WavError::None);
    EXPECT_EQ(clip.samples, (std::vector<int16_t>{7, 7, 8, 8}));
}

TEST(WavDecode, RefusesWhatItCannotPlayWithAReason) {
    PcmClip clip;
    const auto good = test::wavImage({1, 2, 3, 4}, 44100, 1);
    auto with = [&](size_t at, std::vector<uint8_t> bytes) {
        auto v = good;
        std::copy(bytes.begin(), bytes.end(), v.begin() + static_cast<long>(at));
        return v;
    };
    auto decode = [&](const std::vector<uint8_t>& v) { return decodeWav(v.data(), v.size(), clip); };

    EXPECT_EQ(decodeWav(nullptr, 0, clip), WavError::NotWave);
    EXPECT_EQ(decode(with(8, {'A', 'V', 'I', ' '})), WavError::NotWave);
    EXPECT_EQ(decode({good.begin(), good.begin() + 30}), WavError::Truncated);     // inside "fmt "
    EXPECT_EQ(decode({good.begin(), good.begin() + 36}), WavError::NoData);
    EXPECT_EQ(decode(with(12, {'j', 'u', 'n', 'k'})), WavError::NoFormat);        // data before any format
    EXPECT_EQ(decode(with(20, {3, 0})), WavError::Unsupported);                    // IEEE float
    EXPECT_EQ(decode(with(22, {6, 0})), WavError::Unsupported);                    // six channels
    EXPECT_EQ(decode(with(34, {24, 0})), WavError::Unsupported);                   // 24-bit
    EXPECT_EQ(decode(with(24, {100, 0, 0, 0})), WavError::BadFormat);              // 100 Hz
    EXPECT_EQ(decode(with(32, {4, 0})), WavError::BadFormat);                      // block align
    EXPECT_EQ(decode(with(16, {0xFF, 0xFF, 0xFF, 0x7F})), WavError::Truncated);    // huge "fmt "
    EXPECT_TRUE(clip.samples.empty());
    for (WavError e : {WavError::NotWave, WavError::Unsupported, WavError::TooLarge})
        EXPECT_STRNE(wavErrorText(e), wavErrorText(WavError::None));

    std::string error;
    EXPECT_EQ(decodeWavImage(good.data(), 10, &error), nullptr);
    EXPECT_EQ(error, wavErrorText(WavError::NotWave));
}

}  // namespace
}  // namespace qf
