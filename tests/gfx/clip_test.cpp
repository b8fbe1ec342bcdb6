#include "gfx/clip.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "gfx/pictures.h"
#include "platform/headless/headless_host.h"
#include "tests/gfx/picture_helpers.h"

namespace qf {
namespace {

using test::at;
using test::Bgr;

// A screen and a reader serving 4 × 4 BMP files whose red channel tells the
// frame: 100 + 10 × index, drawn at alpha 0 as 99 + 10 × index.
struct ClipScreen {
    HeadlessHost host;
    Pictures pics{host};
    std::vector<uint8_t> back = std::vector<uint8_t>(256 * 224 * 3);
    std::map<std::string, std::vector<uint8_t>> files;
    std::vector<std::string> asked;
    Clip clip;

    ClipScreen() {
        pics.CreateScreen(back.data(), 256, 224);
        pics.reader = [this](const std::string& name, std::vector<uint8_t>& out) {
            asked.push_back(name);
            auto it = files.find(name);
            if (it == files.end()) return false;
            out = it->second;
            return true;
        };
    }
    void addFrame(const std::string& name, int index) {
        const uint8_t red = uint8_t(100 + 10 * index);
        std::vector<uint8_t> rows;
        for (int i = 0; i < 16; ++i) rows.insert(rows.end(), {10, 20, red});
        files[name] = test::makeBmp(4, 4, 24, 0, {}, rows);
    }
    // The index of the frame shown by the next screen frame; −1 for none.
    int next() {
        pics.Slot(Pictures::kBackBufferSlot)->Fill(0, 0, 0);
        DrawClip(clip, pics);
        const Bgr p = at(*pics.Slot(Pictures::kBackBufferSlot), 1, 1);
        return p == Bgr{} ? -1 : (p.r - 99) / 10;
    }
    std::vector<int> play(int frames) {
        std::vector<int> shown;
        for (int i = 0; i < frames; ++i) shown.push_back(next());
        return shown;
    }
};

TEST(Clip, FrameNamesTakeOneTwoOrThreeDigits) {
    EXPECT_EQ(ClipFrameName("anim", 7, 1), "anim7.bmp");
    EXPECT_EQ(ClipFrameName("anim", 12, 1), "anim12.bmp");
    EXPECT_EQ(ClipFrameName("anim", 2, 2), "anim02.bmp");
    EXPECT_EQ(ClipFrameName("anim", 2, 3), "anim002.bmp");
    EXPECT_EQ(ClipFrameName("anim", 2, 0), "anim2.bmp");
    EXPECT_EQ(ClipFrameName("anim", 2, 9), "anim002.bmp");
    EXPECT_EQ(ClipFrameName("a\\b", 1234, 3), "a\\b1234.bmp");
}

TEST(Clip, LoadReadsEveryFrameAndBoundsTheCount) {
    ClipScreen s;
    LoadClip(s.clip, s.pics, "anim", 3, 2);
    EXPECT_EQ(s.asked, (std::vector<std::string>{"anim00.bmp", "anim01.bmp", "anim02.bmp"}));
    EXPECT_EQ(s.clip.frameCount, 3);
    ASSERT_EQ(s.clip.frames.size(), 3u);
    // Every frame was missing: three reports, three empty frames.
    int reports = 0;
    for (const std::string& line : s.host.logLines()) reports += line.find("anim0") != std::string::npos;
    EXPECT_EQ(reports, 3);
    for (const auto& f : s.clip.frames) EXPECT_FALSE(f->HasPixels());

    s.asked.clear();
    LoadClip(s.clip, s.pics, "big", 1000, 3);
    EXPECT_EQ(s.clip.frameCount, 256);
    EXPECT_EQ(s.clip.frames.size(), 256u);
    EXPECT_EQ(s.asked.back(), "big255.bmp");

    s.asked.clear();
    LoadClip(s.clip, s.pics, "none", 0, 1);
    EXPECT_EQ(s.clip.frameCount, 1);
    EXPECT_TRUE(s.clip.frames.empty());
    EXPECT_TRUE(s.asked.empty());
}

// The clip advances before it draws: a fresh clip at speed 2 shows frame 0
// once, then every frame for two screen frames; when its loops are used up
// it stays on the last frame.
TEST(Clip, PlaybackLoopsAndHoldsTheLastFrame) {
    for (int loops : {1, 2}) {
        ClipScreen s;
        for (int i = 0; i < 3; ++i) s.addFrame(ClipFrameName("f", i, 1), i);
        LoadClip(s.clip, s.pics, "f", 3, 1);
        PlayClip(s.clip, 5, 6, loops, 2);
        const std::vector<int> once{0, 1, 1, 2, 2, 2, 2, 2, 2};
        const std::vector<int> twice{0, 1, 1, 2, 2, 0, 0, 1, 1, 2, 2, 2, 2, 2};
        EXPECT_EQ(s.play(loops == 1 ? 9 : 14), loops == 1 ? once : twice) << loops;
        EXPECT_EQ(s.clip.loops, 0);
    }
}

TEST(Clip, EndlessZeroLoopsPauseStopAndDelete) {
    ClipScreen s;
    for (int i = 0; i < 2; ++i) s.addFrame(ClipFrameName("g", i, 3), i);
    LoadClip(s.clip, s.pics, "g", 2, 3);
    PlayClip(s.clip, 0, 0, -1, 0);  // speed 0 counts as 1
    EXPECT_EQ(s.play(5), (std::vector<int>{1, 0, 1, 0, 1}));
    EXPECT_EQ(s.clip.advanced, 5);
    s.clip.paused = 1;
    EXPECT_EQ(s.play(2), (std::vector<int>{1, 1}));
    // A loop count of 0 shows the current frame without moving; playing again
    // keeps the frame and the count.
    PlayClip(s.clip, 0, 0, 0, 1);
    EXPECT_EQ(s.clip.paused, 0);
    EXPECT_EQ(s.play(3), (std::vector<int>{1, 1, 1}));
    PlayClip(s.clip, 0, 0, 1, 1);
    EXPECT_EQ(s.play(2), (std::vector<int>{1, 1}));  // the count is past the clip's length
    StopClip(s.clip);
    EXPECT_EQ(s.next(), -1);
    PlayClip(s.clip, 0, 0, -1, 1);
    EXPECT_EQ(s.next(), 0);
    DeleteClip(s.clip);
    EXPECT_EQ(s.clip.on, 0);
    EXPECT_TRUE(s.clip.frames.empty());
    PlayClip(s.clip, 0, 0, -1, 1);
    EXPECT_EQ(s.next(), -1);
}

}  // namespace
}  // namespace qf
