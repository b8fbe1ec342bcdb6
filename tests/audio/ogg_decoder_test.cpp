#include "platform/audio/ogg_decoder.h"

#include <gtest/gtest.h>

#include "audio_test_support.h"

namespace qf {
namespace {

std::vector<uint8_t> readAll(OggDecoder& d) {
    std::vector<uint8_t> pcm;
    uint8_t chunk[4096];
    int section = 0;
    for (long n; (n = d.read(chunk, sizeof chunk, &section)) != 0;)
        if (n > 0) pcm.insert(pcm.end(), chunk, chunk + n);
    return pcm;
}

TEST(OggDecoder, DecodesFromMemoryWithCommentsAndSeeksToAFrame) {
    // A chirp fills several pages, so the bitrate has data pages to measure.
    auto left = test::chirp(44100, 200, 8000, 44100, 9000);
    std::vector<int16_t> interleaved;
    for (int16_t s : left) interleaved.insert(interleaved.end(), {s, static_cast<int16_t>(-s)});
    OggDecoder d;
    ASSERT_EQ(d.open(test::oggImage(interleaved, 44100, 2, {"LOOPSTART=100", "Title=tone"})), 0);
    ASSERT_TRUE(d.isOpen());
    EXPECT_EQ(d.channels(), 2);
    EXPECT_EQ(d.rate(), 44100);
    EXPECT_EQ(d.comments(), (std::vector<std::string>{"LOOPSTART=100", "Title=tone"}));
    EXPECT_GT(d.bitrate(), 0);
    EXPECT_EQ(d.pcmTotal(), 44100);

    const std::vector<uint8_t> all = readAll(d);
    ASSERT_EQ(all.size(), 44100u * 4);
    EXPECT_EQ(d.pcmTell(), 44100);
    // The decoded tone is the encoded one, channels in order, little-endian.
    std::vector<int16_t> decodedLeft(44100);
    for (size_t i = 0; i < decodedLeft.size(); ++i)
        decodedLeft[i] = static_cast<int16_t>(all[4 * i] | all[4 * i + 1] << 8);
    EXPECT_GT(test::correlation(decodedLeft, 1000, left, 1000, 40000), 0.999);
    EXPECT_LT(static_cast<int16_t>(all[4002] | all[4003] << 8) * static_cast<int>(decodedLeft[1000]), 1);

    // A seek lands on the exact frame: what follows is what a read from the
    // start gives at that place.
    ASSERT_EQ(d.pcmSeek(22050), 0);
    EXPECT_EQ(d.pcmTell(), 22050);
    uint8_t chunk[4096];
    int section = 0;
    long n = d.read(chunk, sizeof chunk, &section);
    ASSERT_GT(n, 0);
    EXPECT_TRUE(std::equal(chunk, chunk + n, all.begin() + 22050 * 4));
    EXPECT_NE(d.pcmSeek(100000), 0);  // past the end

    d.clear();
    EXPECT_FALSE(d.isOpen());
    EXPECT_EQ(d.read(chunk, sizeof chunk, &section), d.read(chunk, sizeof chunk, nullptr));
    EXPECT_LT(d.read(chunk, sizeof chunk, &section), 0);
}

TEST(OggDecoder, RefusesWhatIsNoVorbisStreamAndSurvivesACutOne) {
    OggDecoder d;
    EXPECT_LT(d.open({}), 0);
    EXPECT_LT(d.open(test::wavImage({1, 2, 3}, 44100, 1)), 0);
    EXPECT_FALSE(d.isOpen());
    EXPECT_EQ(d.channels(), 0);
    EXPECT_TRUE(d.comments().empty());

    // A file cut after a few pages: the headers open it and reading ends,
    // without a hang, where the last whole page ends.
    auto image = test::oggImage(test::chirp(44100 * 4, 100, 9000, 44100, 9000), 44100, 1, {});
    image.resize(image.size() * 3 / 4);
    ASSERT_EQ(d.open(image), 0);
    const auto pcm = readAll(d);
    EXPECT_GT(pcm.size(), 0u);
    EXPECT_LT(pcm.size(), 44100u * 4 * 2);
}

}  // namespace
}  // namespace qf
