// Window frames frame by frame: every animation mode, showing and hiding,
// and the picture frames tiled from a 3×3 sheet.
#include <gtest/gtest.h>

#include <climits>

#include "gfx/text_output.h"
#include "tests/gfx/text_test_support.h"
#include "wnd/frame.h"

namespace qf {
namespace {

constexpr int kNil = INT_MIN;

// What one draw left on a black back buffer, for a white fill and a red outline.
struct Seen {
    bool drawn = false;
    Rect bounds;
    int keep = -1;         // read from the fill in the middle
    bool outlined = false;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Seen& s) {
    if (!s.drawn) return os << "nothing";
    return os << "(" << s.bounds.x << "," << s.bounds.y << " " << s.bounds.w << "x" << s.bounds.h << ") keep "
              << s.keep << (s.outlined ? " outlined" : "");
}

Seen box(int x, int y, int w, int h, int keep, bool outlined) { return {true, {x, y, w, h}, keep, outlined}; }
const Seen kNothing{};

class Frames : public ::testing::Test {
protected:
    test::RecordingHost host;
    Engine e{host};
    S_Frame f;

    void SetUp() override {
        e.pictures.SelectTarget(Pictures::kBackBufferSlot);
        SetFontColor(e.text, 255, 0, 0);
        f.SetRect(40, 30, 100, 60);
        f.SetColour(255, 255, 255, 64);
    }

    const uint8_t* at(int x, int y) {
        const S_Dib* d = e.pictures.Slot(Pictures::kBackBufferSlot);
        return d->m_pBits + (size_t(y) * d->Width() + x) * 3;
    }

    Seen draw() {
        S_Dib* back = e.pictures.Slot(Pictures::kBackBufferSlot);
        back->Fill(0, 0, 0);
        f.Draw(e.text, e.looks.images);
        Seen s;
        int x0 = INT_MAX, y0 = INT_MAX, x1 = -1, y1 = -1;
        for (int y = 0; y < back->Height(); ++y)
            for (int x = 0; x < back->Width(); ++x) {
                const uint8_t* p = at(x, y);
                if (!p[0] && !p[1] && !p[2]) continue;
                x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
                if (p[2] == 255 && p[1] == 0 && p[0] == 0) s.outlined = true;
            }
        if (x1 < 0) return s;
        s.drawn = true;
        s.bounds = {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
        s.keep = 255 - at(x0 + s.bounds.w / 2, y0 + s.bounds.h / 2)[1];
        return s;
    }

    std::vector<Seen> frames(int n) {
        std::vector<Seen> out;
        for (int i = 0; i < n; ++i) out.push_back(draw());
        return out;
    }
};

TEST_F(Frames, StaticFramesUseTheirOwnOutlineWidthAndLeaveTheWindowColour) {
    EXPECT_EQ(draw(), box(40, 30, 100, 60, 64, true));
    f.outline = 0;
    EXPECT_EQ(draw(), box(40, 30, 100, 60, 64, false));
    EXPECT_EQ(e.text.windowColour, packRgb(0, 0, 192));
    f.Hide();
    EXPECT_EQ(draw(), kNothing);
    f.Show();
    EXPECT_EQ(draw(), box(40, 30, 100, 60, 64, false));
}

TEST_F(Frames, OpeningDownwardsGrowsFromThreeRowsToTheFullHeight) {
    f.Hide();
    f.Open(kFrameOpenDown, 10);
    EXPECT_EQ(frames(7), (std::vector<Seen>{box(40, 30, 100, 10, 64, true), box(40, 30, 100, 20, 64, true),
                                            box(40, 30, 100, 30, 64, true), box(40, 30, 100, 40, 64, true),
                                            box(40, 30, 100, 50, 64, true), box(40, 30, 100, 60, 64, true),
                                            box(40, 30, 100, 60, 64, true)}));
    // The clamped progress is what grows on: 1 → 3, then 4.
    f.Hide();
    f.Open(kFrameOpenDown, 1);
    std::vector<Seen> slow = frames(2);
    EXPECT_EQ(slow[0].bounds.h, 3);
    EXPECT_EQ(slow[1].bounds.h, 4);
}

TEST_F(Frames, OpeningFromTheCentreAndVertically) {
    f.Hide();
    f.Open(kFrameOpenFromCentre, 10);
    EXPECT_EQ(frames(6), (std::vector<Seen>{box(80, 50, 20, 20, 64, true), box(70, 40, 40, 40, 64, true),
                                            box(60, 30, 60, 60, 64, true), box(50, 30, 80, 60, 64, true),
                                            box(40, 30, 100, 60, 64, true), box(40, 30, 100, 60, 64, true)}));
    f.Hide();
    f.Open(kFrameOpenVertically, 10);
    EXPECT_EQ(frames(4), (std::vector<Seen>{box(40, 50, 100, 20, 64, true), box(40, 40, 100, 40, 64, true),
                                            box(40, 30, 100, 60, 64, true), box(40, 30, 100, 60, 64, true)}));
}

TEST_F(Frames, FadingInStopsAtTheFramesKeep) {
    f.Hide();
    f.Open(kFrameFadeIn, 50);
    EXPECT_EQ(frames(5), (std::vector<Seen>{box(40, 30, 100, 60, 205, true), box(40, 30, 100, 60, 155, true),
                                            box(40, 30, 100, 60, 105, true), box(40, 30, 100, 60, 64, true),
                                            box(40, 30, 100, 60, 64, true)}));
}

TEST_F(Frames, OpeningAShownFrameGoesOnFromItsProgress) {
    f.Hide();
    f.Open(kFrameOpenDown, 20);
    frames(3);  // full height, progress 60
    f.Open(kFrameOpenFromCentre, 10);
    EXPECT_EQ(draw(), box(40, 30, 100, 60, 64, true));
}

TEST_F(Frames, ClosingUpwardsHidesBelowFourRows) {
    f.Close(1, 10);
    EXPECT_EQ(f.animMode, kFrameCloseUp);
    EXPECT_EQ(frames(7), (std::vector<Seen>{box(40, 30, 100, 50, 64, true), box(40, 30, 100, 40, 64, true),
                                            box(40, 30, 100, 30, 64, true), box(40, 30, 100, 20, 64, true),
                                            box(40, 30, 100, 10, 64, true), kNothing, kNothing}));
    EXPECT_EQ(f.shown, 0);

    // h < 4 + speed: hidden on the first closing frame.
    f.Show();
    f.SetRect(kNil, kNil, kNil, 13);
    f.Close(1, 10);
    EXPECT_EQ(draw(), kNothing);
    EXPECT_EQ(f.shown, 0);
}

TEST_F(Frames, ClosingToTheCentreAndVertically) {
    f.Close(2, 10);
    EXPECT_EQ(frames(3), (std::vector<Seen>{box(50, 40, 80, 40, 64, true), box(60, 50, 60, 20, 64, true), kNothing}));
    EXPECT_EQ(f.shown, 0);
    f.Show();
    f.Close(3, 10);
    EXPECT_EQ(frames(3), (std::vector<Seen>{box(40, 40, 100, 40, 64, true), box(40, 50, 100, 20, 64, true), kNothing}));
    EXPECT_EQ(f.shown, 0);
}

TEST_F(Frames, FadingOutDrawsWithoutOutlineUntilTheKeepReaches255) {
    f.Close(4, 50);
    EXPECT_EQ(frames(5), (std::vector<Seen>{box(40, 30, 100, 60, 114, false), box(40, 30, 100, 60, 164, false),
                                            box(40, 30, 100, 60, 214, false), kNothing, kNothing}));
    EXPECT_EQ(f.shown, 0);
}

TEST_F(Frames, CloseModeZeroHidesAtOnceAndUnknownModesDrawNothing) {
    f.Close(0, 10);
    EXPECT_EQ(f.shown, 0);
    for (int mode : {5, 6, 11, 40, -1}) {
        f.Open(mode, 10);
        EXPECT_EQ(draw(), kNothing) << mode;
        EXPECT_EQ(f.shown, 1) << mode;
    }
}

TEST_F(Frames, SetRectKeepsWhatIsNilAndProgressStaysBoundedAtExtremeSpeeds) {
    f.SetRect(kNil, 5, kNil, kNil);
    EXPECT_EQ((Rect{f.x, f.y, f.w, f.h}), (Rect{40, 5, 100, 60}));
    f.Open(kFrameOpenFromCentre, INT_MAX);
    for (int i = 0; i < 20; ++i) draw();
    EXPECT_EQ(draw(), box(40, 5, 100, 60, 64, true));
    EXPECT_GT(f.animProgress, 0);
    f.Close(1, INT_MAX);
    EXPECT_EQ(draw(), kNothing);
}

// A 3×3 sheet of 4-pixel tiles whose red channel names the tile code:
// 100 + code, which the opaque normal draw writes as (100 + code) × 255 >> 8.
int drawnRed(int code) { return ((100 + code) * 255) >> 8; }

class PictureFrames : public Frames {
protected:
    void SetUp() override {
        Frames::SetUp();
        S_Dib* sheet = e.pictures.Slot(2);
        sheet->CreateBlank(20, 20, false);
        sheet->Fill(9, 9, 9);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x) {
                uint8_t* p = sheet->m_pBits + (size_t(y + 4) * 20 + x + 8) * 3;
                const int code = (y / 4) * 10 + x / 4;
                p[0] = 1, p[1] = 2, p[2] = uint8_t(100 + code);
            }
        e.looks.images = {2, 4, 8, 4, 0, -1};
    }

    // The tile code drawn at each cell of the frame, 0xFF where nothing was.
    std::vector<std::vector<int>> codes(int cols, int rows) {
        S_Dib* back = e.pictures.Slot(Pictures::kBackBufferSlot);
        back->Fill(0, 0, 0);
        f.Draw(e.text, e.looks.images);
        std::vector<std::vector<int>> out(static_cast<size_t>(rows), std::vector<int>(static_cast<size_t>(cols)));
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                const int x = f.x + c * 4, y = f.y + r * 4;
                int code = at(x, y)[2] >= drawnRed(0) ? at(x, y)[2] - drawnRed(0) : 0xFF;
                for (int dy = 0; dy < 4; ++dy)
                    for (int dx = 0; dx < 4; ++dx)
                        if (x + dx >= 0 && y + dy >= 0 && at(x + dx, y + dy)[2] != at(x, y)[2]) code = -1;
                out[size_t(r)][size_t(c)] = code;
            }
        return out;
    }
};

TEST_F(PictureFrames, CornersEdgesAndMiddleTilesFillTheWholeCells) {
    f.SetRect(10, 10, 22, 14);  // 5 × 3 cells; the odd pixels are left out
    EXPECT_EQ(codes(5, 3), (std::vector<std::vector<int>>{
                               {0, 1, 1, 1, 2}, {10, 11, 11, 11, 12}, {20, 21, 21, 21, 22}}));
    EXPECT_EQ(at(10 + 20, 10)[2], 0);  // column 5 is not drawn
    EXPECT_EQ(at(10, 10 + 12)[2], 0);

    f.SetRect(10, 10, 16, 5);  // one row: the top codes only
    EXPECT_EQ(codes(4, 1), (std::vector<std::vector<int>>{{0, 1, 1, 2}}));
    f.SetRect(10, 10, 4, 12);  // one column: the first codes
    EXPECT_EQ(codes(1, 3), (std::vector<std::vector<int>>{{0}, {10}, {20}}));
}

TEST_F(PictureFrames, TooSmallFramesAndTilesDrawNothingAndTheAnimationDoesNotRun) {
    f.SetRect(10, 10, 3, 40);
    EXPECT_EQ(draw(), kNothing);
    f.SetRect(10, 10, 40, 40);
    e.looks.images.tile = 0;
    EXPECT_EQ(draw(), kNothing);
    e.looks.images.tile = INT_MIN;
    EXPECT_EQ(draw(), kNothing);
    e.looks.images.tile = 4;
    f.Close(1, 100);
    EXPECT_TRUE(draw().drawn);
    EXPECT_EQ(f.animProgress, 0);
    EXPECT_EQ(f.shown, 1);
}

TEST_F(PictureFrames, CellsOffTheTargetAreSkippedWithoutChangingTheCodes) {
    f.SetRect(-6, 200, 20, 40);  // columns 0 and 1 start left of the screen, rows run below it
    S_Dib* back = e.pictures.Slot(Pictures::kBackBufferSlot);
    back->Fill(0, 0, 0);
    f.Draw(e.text, e.looks.images);
    EXPECT_EQ(at(0, 200)[2], drawnRed(1));  // the right half of cell 1, an edge tile
    EXPECT_EQ(at(12, 200)[2], drawnRed(2));
    EXPECT_EQ(at(12, 204)[2], drawnRed(12));
    EXPECT_EQ(at(12, 223)[2], drawnRed(12));
    EXPECT_EQ(at(14, 204)[2], 0);
    // A frame of two billion cells draws only what the screen shows.
    f.SetRect(-2000000000, -2000000000, INT_MAX, INT_MAX);
    e.looks.images.tile = 1;
    f.Draw(e.text, e.looks.images);
    EXPECT_EQ(at(128, 112)[2], drawnRed(0));  // a middle tile of size 1: sheet pixel (9, 5)
}

TEST_F(PictureFrames, TransparencyAndMaskPictures) {
    f.SetRect(0, 0, 12, 12);
    e.looks.images.transparency = 255;
    EXPECT_EQ(draw(), kNothing);
    e.looks.images.transparency = 0;
    S_Dib* mask = e.pictures.Slot(3);
    mask->CreateBlank(20, 20, false);
    mask->Fill(255, 0, 0);  // red 255: the target stays
    e.looks.images.maskSlot = 3;
    EXPECT_EQ(draw(), kNothing);
    mask->Fill(0, 0, 0);
    EXPECT_TRUE(draw().drawn);
    EXPECT_EQ(at(0, 0)[2], drawnRed(0));
}

TEST(WindowSounds, KindsAndDevicesAreStoredAndOutOfRangeKindsIgnored) {
    HeadlessHost host;
    Engine e(host);
    SetWindowSound(e.looks, kSoundMove, kSoundMciDevice, 5);
    SetWindowSound(e.looks, 4, kSoundEffectSlot, 9);
    SetWindowSound(e.looks, -1, kSoundEffectSlot, 9);
    EXPECT_EQ(e.looks.sounds[kSoundMove].device, kSoundMciDevice);
    EXPECT_EQ(e.looks.sounds[kSoundMove].id, 5);
    for (int k : {0, 1, 3}) EXPECT_EQ(e.looks.sounds[k].device, kSoundNone);
    PlayWindowSound(e.looks, e.audio, kSoundMove);
    PlayWindowSound(e.looks, e.audio, 17);
}

}  // namespace
}  // namespace qf

namespace qf {
namespace {

// A 24 × 24 sheet of 8-pixel tiles: a light border on the outer edges of the
// outer tiles, a coloured middle, and a pure green (transparent) dot in each.
void paintSheet(S_Dib& sheet) {
    sheet.CreateBlank(24, 24, false);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            uint8_t* p = sheet.m_pBits + (size_t(y) * 24 + x) * 3;
            const bool border = x < 2 || y < 2 || x > 21 || y > 21;
            p[0] = uint8_t(border ? 240 : 120 + 40 * (x / 8));
            p[1] = uint8_t(border ? 230 : 40 + 30 * (y / 8));
            p[2] = uint8_t(border ? 250 : 60);
            if (x % 8 == 4 && y % 8 == 4) p[0] = 0, p[1] = 255, p[2] = 0;
        }
}

TEST(FrameScreenshot, PictureFramesOpaqueTranslucentAndMaskedBesideABoxFrame) {
    HeadlessHost host;
    Engine e(host);
    e.pictures.SelectTarget(Pictures::kBackBufferSlot);
    S_Dib* back = e.pictures.Slot(Pictures::kBackBufferSlot);
    for (int y = 0; y < 224; ++y)
        for (int x = 0; x < 256; ++x) {
            uint8_t* p = back->m_pBits + (size_t(y) * 256 + x) * 3;
            p[0] = uint8_t(((x / 16 + y / 16) % 2) ? 90 : 30), p[1] = uint8_t(y), p[2] = uint8_t(x);
        }
    paintSheet(*e.pictures.Slot(4));
    S_Dib* mask = e.pictures.Slot(5);
    mask->CreateBlank(24, 24, false);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) mask->m_pBits[(size_t(y) * 24 + x) * 3 + 2] = uint8_t(x * 10);

    S_Frame f;
    e.looks.images = {4, 8, 0, 0, 0, -1};
    f.SetRect(8, 8, 120, 64);
    f.Draw(e.text, e.looks.images);
    e.looks.images.transparency = 128;
    f.SetRect(136, 8, 112, 40);
    f.Draw(e.text, e.looks.images);
    e.looks.images.maskSlot = 5;
    f.SetRect(8, 88, 64, 120);
    f.Draw(e.text, e.looks.images);

    e.looks.images.slot = 0;
    SetFontColor(e.text, 255, 255, 255);
    f.SetColour(200, 40, 40, 96);
    f.SetRect(88, 88, 160, 56);
    f.Draw(e.text, e.looks.images);
    f.SetColour(0, 0, 0, 160);
    f.outline = 2;
    f.SetRect(88, 152, 160, 56);
    f.Draw(e.text, e.looks.images);
    std::vector<uint8_t> bgr(back->m_pBits, back->m_pBits + back->PixelCount() * 3);
    EXPECT_TRUE(test::matchesReference("tests/wnd/frames.png", bgr, 256, 224));
}

}  // namespace
}  // namespace qf
