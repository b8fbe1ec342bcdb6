// The bundled KPI decoder, loaded as the engine loads it.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <quillfen/kpi_plugin.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "audio_test_support.h"

namespace qf {
namespace {

class BundledDecoder : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        library_ = dlopen(QF_KPI_DECODER, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library_, nullptr) << dlerror();
        auto get = reinterpret_cast<qf_KpiGetModule_fn>(dlsym(library_, QF_KPI_ENTRY_NAME));
        ASSERT_NE(get, nullptr);
        module_ = get();
        ASSERT_NE(module_, nullptr);
    }
    static void TearDownTestSuite() {
        if (library_) dlclose(library_);
    }

    static void* library_;
    static const qf_KpiModule* module_;
};
void* BundledDecoder::library_ = nullptr;
const qf_KpiModule* BundledDecoder::module_ = nullptr;

// A file image written by libsndfile from 16-bit samples.
std::vector<uint8_t> encode(const std::vector<int16_t>& samples, int rate, int channels, int format) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("qf-kpi-enc-" + std::to_string(::getpid()))).string();
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    EXPECT_NE(f, nullptr) << sf_strerror(nullptr);
    if (!f) return {};
    sf_writef_short(f, samples.data(), sf_count_t(samples.size() / size_t(channels)));
    sf_close(f);
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::filesystem::remove(path);
    return bytes;
}

std::vector<int16_t> join(std::vector<int16_t> a, const std::vector<int16_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Renders `frames` stereo-or-mono frames; `sound` counts the bytes reported as sound.
std::vector<int16_t> render(const qf_KpiModule* m, qf_KpiHandle h, size_t frames, int channels, size_t* sound = nullptr) {
    std::vector<int16_t> out(frames * size_t(channels));
    const uint32_t n = m->render(h, reinterpret_cast<uint8_t*>(out.data()), uint32_t(out.size() * 2));
    if (sound) *sound = n;
    return out;
}

TEST_F(BundledDecoder, DecodesMp3FlacWavAndVorbisFromMemory) {
    const int rate = 22050;
    const auto tone = test::sine(rate, 441, rate, 12000);
    struct Case {
        const char* name;
        int format;
        double tolerance;  // frames of encoder padding the length may differ by
    } cases[] = {
        {"wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0},
        {"flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 0},
        {"ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 0},
        {"mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 2400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto image = encode(tone, rate, 1, c.format);
        qf_KpiSoundInfo info{};
        qf_KpiHandle h = module_->openFromMemory(image.data(), uint32_t(image.size()), &info);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(info.samplesPerSecond, uint32_t(rate));
        EXPECT_EQ(info.channels, 1u);
        EXPECT_EQ(info.bitsPerSample, 16u);
        EXPECT_NEAR(info.lengthMs, 1000.0, c.tolerance * 1000.0 / rate + 1);
        size_t sound = 0;
        const auto out = render(module_, h, 2 * rate, 1, &sound);
        EXPECT_NEAR(double(sound / 2), double(rate), c.tolerance);
        const std::vector<int16_t> middle(out.begin() + rate / 4, out.begin() + 3 * rate / 4);
        EXPECT_NEAR(test::measureFrequency(middle, rate), 441.0, 2.0);
        EXPECT_NEAR(test::rms(middle), 12000 / std::sqrt(2.0), 1000);
        // Past the end: silence, and nothing reported as sound.
        const auto after = render(module_, h, 1000, 1, &sound);
        EXPECT_EQ(sound, 0u);
        EXPECT_EQ(test::peak(after, 0, after.size()), 0);
        module_->close(h);
    }
}

TEST_F(BundledDecoder, SeeksInMillisecondsAndRendersSilencePastTheEnd) {
    const int rate = 8000;
    // 400 Hz for a second, then 800 Hz for a second.
    const auto steps = join(test::sine(rate, 400, rate, 10000), test::sine(rate, 800, rate, 10000));
    const auto image = encode(steps, rate, 1, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    qf_KpiSoundInfo info{};
    qf_KpiHandle h = module_->openFromMemory(image.data(), uint32_t(image.size()), &info);
    ASSERT_NE(h, nullptr);
    module_->seek(h, 1250);
    auto out = render(module_, h, 2000, 1);
    EXPECT_NEAR(test::measureFrequency(out, rate), 800, 4);
    // Exactly the samples from 1.25 s on.
    EXPECT_TRUE(std::equal(out.begin(), out.end(), steps.begin() + 10000));
    // Past the end, then back: the end is not sticky.
    module_->seek(h, 5000);
    size_t sound = 1;
    out = render(module_, h, 100, 1, &sound);
    EXPECT_EQ(sound, 0u);
    EXPECT_EQ(test::peak(out, 0, out.size()), 0);
    module_->seek(h, 0);
    out = render(module_, h, 4000, 1, &sound);
    EXPECT_EQ(sound, 8000u);
    EXPECT_NEAR(test::measureFrequency(out, rate), 400, 2);
    // A render of an odd size ends on whole frames, the rest zeroed.
    std::vector<uint8_t> odd(7, 0xAA);
    EXPECT_EQ(module_->render(h, odd.data(), 7), 6u);
    EXPECT_EQ(odd[6], 0);
    module_->close(h);
}

TEST_F(BundledDecoder, KeepsTwoChannelsOpensPathsAndRefusesBrokenInput) {
    // Three channels: the first two are kept.
    std::vector<int16_t> three;
    for (int i = 0; i < 800; ++i) three.insert(three.end(), {int16_t(i), int16_t(-i), 7});
    const auto image = encode(three, 8000, 3, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    qf_KpiSoundInfo info{};
    qf_KpiHandle h = module_->openFromMemory(image.data(), uint32_t(image.size()), &info);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(info.channels, 2u);
    const auto out = render(module_, h, 800, 2);
    EXPECT_EQ(out[2 * 500], 500);
    EXPECT_EQ(out[2 * 500 + 1], -500);
    module_->close(h);

    // By path.
    const auto path = std::filesystem::temp_directory_path() / ("qf-kpi-path-" + std::to_string(::getpid()) + ".wav");
    const auto wav = test::wavImage(test::sine(800, 500, 8000, 9000), 8000, 1);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(wav.data()), long(wav.size()));
    h = module_->open(path.c_str(), &info);
    std::filesystem::remove(path);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(info.samplesPerSecond, 8000u);
    module_->close(h);

    // Broken input gives no handle.
    std::vector<uint8_t> truncated(image.begin(), image.begin() + 20);
    std::vector<uint8_t> noise(4000);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = uint8_t(i * 2654435761u >> 13);
    EXPECT_EQ(module_->openFromMemory(truncated.data(), uint32_t(truncated.size()), &info), nullptr);
    EXPECT_EQ(module_->openFromMemory(noise.data(), uint32_t(noise.size()), &info), nullptr);
    EXPECT_EQ(module_->openFromMemory(image.data(), 0, &info), nullptr);
    EXPECT_EQ(module_->open("/nonexistent/x.mp3", &info), nullptr);
}

}  // namespace
}  // namespace qf
