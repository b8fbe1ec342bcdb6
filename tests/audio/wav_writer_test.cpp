#include "platform/audio/wav_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "audio_test_support.h"
#include "platform/audio/wav_decode.h"

namespace qf {
namespace {

namespace fs = std::filesystem;

struct ScratchDir {
    fs::path path = fs::temp_directory_path() / ("quillfen-wav-writer-" + std::to_string(::getpid()));
    ScratchDir() { fs::create_directories(path); }
    ~ScratchDir() { fs::remove_all(path); }
};

TEST(WavWriter, WritesAFileThatReadsBackAndAppearsOnlyWhenFinished) {
    ScratchDir dir;
    const std::string target = (dir.path / "capture.wav").string();
    const auto left = test::sine(3000, 440, 44100, 20000);
    std::vector<int16_t> samples;
    for (int16_t s : left) samples.insert(samples.end(), {s, static_cast<int16_t>(-s)});

    WavWriter writer;
    ASSERT_TRUE(writer.open(target, 44100, 2)) << writer.error();
    ASSERT_TRUE(writer.write(samples.data(), 1000));
    ASSERT_TRUE(writer.write(samples.data() + 2000, 2000));
    EXPECT_EQ(writer.framesWritten(), 3000u);
    EXPECT_FALSE(fs::exists(target));
    ASSERT_TRUE(writer.finish()) << writer.error();
    EXPECT_FALSE(fs::exists(target + ".part"));

    std::ifstream in(target, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(bytes.size(), 44u + 3000 * 4);
    PcmClip clip;
    ASSERT_EQ(decodeWav(bytes.data(), bytes.size(), clip), WavError::None);
    EXPECT_EQ(clip.sampleRate, 44100);
    EXPECT_EQ(clip.samples, samples);

    // An unfinished capture leaves nothing behind.
    const std::string other = (dir.path / "other.wav").string();
    {
        WavWriter abandoned;
        ASSERT_TRUE(abandoned.open(other, 44100, 2));
        abandoned.write(samples.data(), 10);
    }
    EXPECT_FALSE(fs::exists(other));
    EXPECT_FALSE(fs::exists(other + ".part"));

    WavWriter nowhere;
    EXPECT_FALSE(nowhere.open((dir.path / "no" / "such" / "dir.wav").string(), 44100, 2));
    EXPECT_FALSE(nowhere.error().empty());
    EXPECT_FALSE(nowhere.write(samples.data(), 1));
    EXPECT_FALSE(nowhere.finish());
}

}  // namespace
}  // namespace qf
