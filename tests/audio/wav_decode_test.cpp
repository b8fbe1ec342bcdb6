#include "platform/audio/wav_decode.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <fstream>

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
    EXPECT_EQ(decode(with(20, {0x55, 0})), WavError::Unsupported);                 // MPEG layer 3
    EXPECT_EQ(decode(with(20, {3, 0})), WavError::Unsupported);                    // 16-bit float
    EXPECT_EQ(decode(with(22, {6, 0})), WavError::Unsupported);                    // six channels
    EXPECT_EQ(decode(with(34, {12, 0})), WavError::Unsupported);                   // 12-bit
    EXPECT_EQ(decode(with(34, {24, 0})), WavError::BadFormat);                     // 24-bit, block align 2
    EXPECT_EQ(decode(with(20, {0x11, 0})), WavError::Unsupported);                 // IMA ADPCM of 16 bits
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

// A WAV image written by libsndfile in the given encoding.
std::vector<uint8_t> encoded(const std::vector<int16_t>& samples, int rate, int channels, int format) {
    const auto path = std::filesystem::temp_directory_path() / ("quillfen_wav_" + std::to_string(format) + ".wav");
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (f == nullptr) return {};
    const sf_count_t frames = static_cast<sf_count_t>(samples.size()) / channels;
    const int subtype = format & SF_FORMAT_SUBMASK;
    if (subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE) {
        // Float files hold samples within ±1.
        std::vector<float> scaled(samples.begin(), samples.end());
        for (float& x : scaled) x /= 32768.0f;
        sf_writef_float(f, scaled.data(), frames);
    } else {
        sf_writef_short(f, samples.data(), frames);
    }
    sf_close(f);
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(path);
    return bytes;
}

double snrDb(const std::vector<int16_t>& ideal, const std::vector<int16_t>& got, size_t from, size_t to) {
    double error = 0, signal = 0;
    for (size_t i = from; i < to; ++i) {
        error += std::pow(double(got[i]) - ideal[i], 2);
        signal += std::pow(double(ideal[i]), 2);
    }
    return error == 0 ? 200.0 : 10 * std::log10(signal / error);
}

TEST(WavDecode, ReadsEveryCommonEncoding) {
    const int rate = 22050;
    const size_t frames = 11025;
    const auto left = test::sine(frames, 440, rate, 12000);
    const auto right = test::sine(frames, 1250, rate, 9000);
    std::vector<int16_t> stereo(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        stereo[2 * i] = left[i];
        stereo[2 * i + 1] = right[i];
    }
    struct Case {
        const char* name;
        int format;
        double minSnr;
    };
    const Case cases[] = {
        {"u8", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 30},     {"16", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 200},
        {"24", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 200},    {"32", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 200},
        {"float", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 200},  {"double", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 200},
        {"a-law", SF_FORMAT_WAV | SF_FORMAT_ALAW, 30},    {"mu-law", SF_FORMAT_WAV | SF_FORMAT_ULAW, 30},
        {"ima", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 20}, {"ms", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 20},
        {"ext 24", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 200}, {"ext float", SF_FORMAT_WAVEX | SF_FORMAT_FLOAT, 200},
    };
    for (const Case& c : cases) {
        for (int channels : {1, 2}) {
            SCOPED_TRACE(std::string(c.name) + (channels == 1 ? " mono" : " stereo"));
            const auto image = encoded(channels == 1 ? left : stereo, rate, channels, c.format);
            ASSERT_FALSE(image.empty());
            PcmClip clip;
            ASSERT_EQ(decodeWav(image.data(), image.size(), clip), WavError::None);
            EXPECT_EQ(clip.sampleRate, rate);
            // ADPCM fills its last block; everything else keeps the length.
            const int subtype = c.format & SF_FORMAT_SUBMASK;
            if (subtype == SF_FORMAT_IMA_ADPCM || subtype == SF_FORMAT_MS_ADPCM) {
                EXPECT_NEAR(double(clip.frames()), double(frames), 2048);
            } else {
                EXPECT_EQ(clip.frames(), frames);
            }
            ASSERT_GE(clip.frames(), frames - 2048);
            const auto gotLeft = test::channel(clip.samples, 0);
            const auto gotRight = test::channel(clip.samples, 1);
            const size_t to = std::min(frames, clip.frames());
            EXPECT_GE(snrDb(left, gotLeft, 0, to), c.minSnr);
            EXPECT_GE(snrDb(channels == 1 ? left : right, gotRight, 0, to), c.minSnr);
        }
    }

    // An ADPCM image cut inside a block, or with its block header damaged,
    // decodes as far as it goes without reading past the image.
    auto ima = encoded(left, rate, 1, SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM);
    ASSERT_GT(ima.size(), 1000u);
    PcmClip clip;
    std::vector<uint8_t> cut(ima.begin(), ima.end() - 300);
    EXPECT_EQ(decodeWav(cut.data(), cut.size(), clip), WavError::None);
    EXPECT_LT(clip.frames(), frames);
    auto ms = encoded(left, rate, 1, SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM);
    ASSERT_GT(ms.size(), 100u);
    // The number of MS ADPCM coefficients sits after the samples per block.
    ms[20 + 20] = 0xFF;
    ms[20 + 21] = 0xFF;
    if (decodeWav(ms.data(), ms.size(), clip) != WavError::None) {
        EXPECT_TRUE(clip.samples.empty());
    }
}

TEST(WavDecode, WholeSoundsAreBroughtToTheMixRate) {
    std::string error;
    for (int rate : {11025, 22050, 48000}) {
        SCOPED_TRACE(rate);
        const size_t frames = static_cast<size_t>(rate);  // one second
        const auto image = test::wavImage(test::sine(frames, 1000, rate, 12000), rate, 1);
        auto clip = decodeWavImage(image.data(), image.size(), &error);
        ASSERT_TRUE(clip) << error;
        EXPECT_EQ(clip->sampleRate, 44100);
        EXPECT_EQ(clip->sourceRate, rate);
        EXPECT_NEAR(double(clip->frames()), 44100.0, 1.0);
        // Away from the edges, the band-limited conversion matches the ideal tone.
        const auto left = test::channel(clip->samples, 0);
        const auto ideal = test::sine(44100, 1000, 44100, 12000);
        EXPECT_GT(snrDb(ideal, left, 500, 43500), 80.0);
        EXPECT_NEAR(test::measureFrequency({left.begin() + 500, left.begin() + 43500}, 44100), 1000.0, 0.05);
    }
    const auto same = test::wavImage({1, 2, 3, 4}, 44100, 2);
    auto clip = decodeWavImage(same.data(), same.size(), &error);
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->samples, (std::vector<int16_t>{1, 2, 3, 4}));
}

}  // namespace
}  // namespace qf
