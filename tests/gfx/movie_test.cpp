#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gfx/movie.h"
#include "gfx/pictures.h"
#include "platform/headless/headless_host.h"
#include "platform/media/movie_reader.h"

namespace qf {
namespace {

const std::string kMovies = std::string(QF_SOURCE_DIR) + "/tests/games/";

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using Frame = std::vector<uint8_t>;

Frame frameOf(MovieReader& reader, int64_t n) {
    Frame f(size_t(reader.width()) * size_t(reader.height()) * 3, 0xAB);
    EXPECT_TRUE(reader.readFrame(n, f.data())) << n;
    return f;
}

// Mean colour of a frame; the counters' background hue turns with the frame.
std::array<double, 3> mean(const Frame& f) {
    std::array<double, 3> m{};
    for (size_t i = 0; i < f.size(); ++i) m[i % 3] += f[i];
    for (double& c : m) c /= double(f.size() / 3);
    return m;
}

class Counters : public ::testing::TestWithParam<const char*> {};

TEST_P(Counters, SequentialReadsDecodeOnceAndJumpsSeekToTheSameFrames) {
    MovieReader reader;
    ASSERT_EQ(reader.open(readBytes(kMovies + "avi-frames/" + GetParam())), MovieOpenError::None);
    EXPECT_EQ(reader.firstFrame(), 0);
    EXPECT_EQ(reader.frameCount(), 16);
    EXPECT_NEAR(reader.frameTime(), 100.0, 0.01);
    std::vector<Frame> frames;
    for (int k = 0; k < 16; ++k) frames.push_back(frameOf(reader, k));
    EXPECT_EQ(reader.seekCount(), 0);
    EXPECT_EQ(reader.decodedCount(), 16);
    for (int k = 1; k < 16; ++k) EXPECT_NE(frames[size_t(k)], frames[size_t(k - 1)]) << k;

    // The same frame again is not decoded again; a jump back seeks.
    EXPECT_EQ(frameOf(reader, 15), frames[15]);
    EXPECT_EQ(reader.decodedCount(), 16);
    EXPECT_EQ(frameOf(reader, 3), frames[3]);
    EXPECT_EQ(reader.seekCount(), 1);
    EXPECT_EQ(frameOf(reader, 4), frames[4]);
    EXPECT_EQ(reader.seekCount(), 1);

    // A fresh reader jumping straight to the end, then to the start.
    MovieReader jumper;
    ASSERT_EQ(jumper.open(readBytes(kMovies + "avi-frames/" + GetParam())), MovieOpenError::None);
    EXPECT_EQ(frameOf(jumper, 12), frames[12]);
    EXPECT_LE(jumper.decodedCount(), 2);  // every frame is a key frame: no decoding of 0..11
    EXPECT_EQ(frameOf(jumper, 0), frames[0]);
    EXPECT_EQ(frameOf(jumper, 7), frames[7]);

    // Outside the movie: nothing is written.
    Frame untouched(frames[0].size(), 0x5A);
    EXPECT_FALSE(jumper.readFrame(16, untouched.data()));
    EXPECT_FALSE(jumper.readFrame(-1, untouched.data()));
    EXPECT_EQ(untouched, Frame(frames[0].size(), 0x5A));
}

INSTANTIATE_TEST_SUITE_P(Movies, Counters, ::testing::Values("counter24.avi", "counter.avi"));

TEST(MovieReader, KnowsItsSizeAndRefusesWhatHoldsNoVideo) {
    MovieReader reader;
    ASSERT_EQ(reader.open(readBytes(kMovies + "avi-frames/counter24.avi")), MovieOpenError::None);
    EXPECT_EQ(reader.width(), 18);
    EXPECT_EQ(reader.height(), 12);
    // Frame 0's background is the generator's blue 0x203080 (hue not yet turned).
    std::array<double, 3> m = mean(frameOf(reader, 0));
    EXPECT_GT(m[0], m[2]);  // more blue than red

    EXPECT_EQ(reader.open(readBytes(kMovies + "avi-no-video/silent.avi")), MovieOpenError::NoVideo);
    EXPECT_FALSE(reader.isOpen());
    EXPECT_EQ(reader.open({'R', 'I', 'F', 'F', 1, 2, 3}), MovieOpenError::Unreadable);
    EXPECT_EQ(reader.open({}), MovieOpenError::Unreadable);
    Frame f(16, 0);
    EXPECT_FALSE(reader.readFrame(0, f.data()));

    // Every cut of a good movie opens or fails cleanly, and reads stay in bounds.
    std::vector<uint8_t> whole = readBytes(kMovies + "avi-frames/counter.avi");
    for (size_t n = 0; n < whole.size(); n += 997) {
        MovieReader cut;
        if (cut.open(std::vector<uint8_t>(whole.begin(), whole.begin() + long(n))) != MovieOpenError::None) continue;
        Frame g(size_t(cut.width()) * size_t(cut.height()) * 3);
        for (int k = 0; k < 16; k += 5) cut.readFrame(k, g.data());
    }
}

TEST(Movie, DrawMakesTheSlotTheVideosSizeAndKeepsItPastTheEnd) {
    HeadlessHost host;
    Pictures pictures(host);
    Movie movie(host);
    EXPECT_EQ(movie.Load(true, readBytes(kMovies + "avi-frames/counter24.avi")), 16);
    pictures.MakeSlot(0, 5, 5);
    movie.Draw(pictures, 0, 7);
    S_Dib& slot = *pictures.Slot(0);
    ASSERT_EQ(slot.Width(), 18);
    ASSERT_EQ(slot.Height(), 12);
    Frame seven(slot.m_pBits, slot.m_pBits + 18 * 12 * 3);
    MovieReader reader;
    reader.open(readBytes(kMovies + "avi-frames/counter24.avi"));
    EXPECT_EQ(seven, frameOf(reader, 7));
    // The end frame and beyond leave the picture as it was, the right way up.
    movie.Draw(pictures, 0, 16);
    EXPECT_EQ(Frame(slot.m_pBits, slot.m_pBits + seven.size()), seven);

    // A failed open shows both messages, closes, and keeps the previous end frame.
    const size_t lines = host.logLines().size();
    EXPECT_EQ(movie.Load(true, readBytes(kMovies + "avi-no-video/silent.avi")), 16);
    EXPECT_FALSE(movie.IsOpen());
    ASSERT_EQ(host.logLines().size(), lines + 2);
    EXPECT_NE(host.logLines()[lines].find("AVIStreamOpenFromFile():Video"), std::string::npos);
    EXPECT_NE(host.logLines()[lines + 1].find("-2147205005"), std::string::npos);
    // Without a movie nothing is drawn.
    movie.Draw(pictures, 1, 0);
    EXPECT_FALSE(pictures.Slot(1)->HasPixels());
}

}  // namespace
}  // namespace qf
