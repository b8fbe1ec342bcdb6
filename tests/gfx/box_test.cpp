// The box primitive: the tint with the window colour and the rounded outline,
// checked against pictures drawn by hand and against a per-pixel reading of
// the outline's definition.
#include <gtest/gtest.h>

#include <random>

#include "gfx/round_rect.h"
#include "gfx/text_output.h"
#include "tests/gfx/text_test_support.h"

namespace qf {
namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

Rgb pixel(Engine& e, int x, int y) {
    const S_Dib* d = e.pictures.Slot(Pictures::kBackBufferSlot);
    const uint8_t* p = d->m_pBits + (size_t(y) * d->Width() + x) * 3;
    return {p[2], p[1], p[0]};
}

// '#' where the back buffer holds `ink`, '.' elsewhere, over a w × h corner.
std::vector<std::string> picture(Engine& e, int w, int h, Rgb ink) {
    std::vector<std::string> rows;
    for (int y = 0; y < h; ++y) {
        std::string row;
        for (int x = 0; x < w; ++x) row += pixel(e, x, y) == ink ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

class Boxes : public ::testing::Test {
protected:
    test::RecordingHost host;
    Engine e{host};
    void SetUp() override {
        e.pictures.SelectTarget(Pictures::kBackBufferSlot);
        e.pictures.Slot(Pictures::kBackBufferSlot)->Fill(0, 0, 0);
        SetFontColor(e.text, 255, 0, 0);
    }
};

TEST_F(Boxes, AWidthOneOutlineIsInsetByOneWithCornersOfRadiusThree) {
    Box(e.text, 0, 0, 12, 10, 255, 1);
    EXPECT_EQ(picture(e, 13, 11, {255, 0, 0}), (std::vector<std::string>{
                                                   ".............",
                                                   "..########...",
                                                   ".##......##..",
                                                   ".#........#..",
                                                   ".#........#..",
                                                   ".#........#..",
                                                   ".#........#..",
                                                   ".##......##..",
                                                   "..########...",
                                                   ".............",
                                                   ".............",
                                               }));
    // Keep 255 leaves the inside as it was.
    EXPECT_EQ(pixel(e, 5, 5), (Rgb{0, 0, 0}));
}

TEST_F(Boxes, AWiderOutlineStartsFurtherInAndGrowsInwards) {
    Box(e.text, 0, 0, 14, 12, 255, 2);
    EXPECT_EQ(picture(e, 15, 13, {255, 0, 0}), (std::vector<std::string>{
                                                   "...............",
                                                   "...............",
                                                   "...#########...",
                                                   "..###########..",
                                                   "..##.......##..",
                                                   "..##.......##..",
                                                   "..##.......##..",
                                                   "..##.......##..",
                                                   "..##.......##..",
                                                   "..###########..",
                                                   "...#########...",
                                                   "...............",
                                                   "...............",
                                               }));
}

TEST_F(Boxes, TheTintUsesTheWindowColourAndTheClampedKeep) {
    e.pictures.Slot(Pictures::kBackBufferSlot)->Fill(200, 100, 50);
    PushWindowColor(e.text, 0, 60, 255);
    Box(e.text, 10, 10, 20, 20, 128, 0);
    // (channel × keep + (255 − keep) × colour) / 255
    EXPECT_EQ(pixel(e, 10, 10), (Rgb{200 * 128 / 255, (100 * 128 + 127 * 60) / 255, (50 * 128 + 127 * 255) / 255}));
    EXPECT_EQ(pixel(e, 29, 29), pixel(e, 10, 10));
    EXPECT_EQ(pixel(e, 30, 30), (Rgb{200, 100, 50}));
    EXPECT_EQ(pixel(e, 9, 10), (Rgb{200, 100, 50}));
    Box(e.text, 40, 10, 5, 5, -30, 0);
    EXPECT_EQ(pixel(e, 42, 12), (Rgb{0, 60, 255}));
    Box(e.text, 50, 10, 5, 5, 900, 0);
    EXPECT_EQ(pixel(e, 52, 12), (Rgb{200, 100, 50}));
    PopWindowColor(e.text);
    EXPECT_EQ(e.text.windowColour, packRgb(0, 0, 192));

    // Outlines take the text colour at the time of drawing.
    SetFontColor(e.text, 0, 255, 0);
    Box(e.text, 100, 100, 20, 20, 255, 1);
    EXPECT_EQ(pixel(e, 110, 101), (Rgb{0, 255, 0}));
}

TEST_F(Boxes, OutlinesOnTheWindowSlotAndHugeRectanglesStayBounded) {
    e.pictures.SelectTarget(Pictures::kWindowSlot);
    Box(e.text, 0, 0, 50, 50, 0, 3);
    e.pictures.SelectTarget(Pictures::kBackBufferSlot);
    EXPECT_EQ(pixel(e, 3, 25), (Rgb{0, 0, 0}));
    // Clipped to the picture whatever the rectangle and the pen.
    Box(e.text, -2000000000, -2000000000, 2147483647, 2147483647, 255, 1000000);
    Box(e.text, 2147483000, 5, 2147483647, 9, 255, 2147483647);
    EXPECT_EQ(pixel(e, 128, 112), (Rgb{0, 0, 0}));
    // A pen wider than the rectangle fills its grown outer shape: from 91
    // on, with corners of radius 3 + 99.
    Box(e.text, -10, -10, 300, 300, 255, 200);
    EXPECT_EQ(pixel(e, 240, 90), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixel(e, 240, 91), (Rgb{255, 0, 0}));
    EXPECT_EQ(pixel(e, 91, 200), (Rgb{255, 0, 0}));
    EXPECT_EQ(pixel(e, 128, 112), (Rgb{0, 0, 0}));
}

// The definition read pixel by pixel: the centre inside the rectangle and,
// in a corner, inside the corner's circle.
bool insideRoundRect(double l, double t, double r, double b, double radius, int x, int y) {
    const double cx = x + 0.5, cy = y + 0.5;
    if (cx < l || cx > r || cy < t || cy > b) return false;
    radius = std::min({radius, std::floor((r - l) / 2), std::floor((b - t) / 2)});
    radius = std::max(radius, 0.0);
    const double kx = cx < l + radius ? l + radius : cx > r - radius ? r - radius : cx;
    const double ky = cy < t + radius ? t + radius : cy > b - radius ? b - radius : cy;
    return (cx - kx) * (cx - kx) + (cy - ky) * (cy - ky) <= radius * radius;
}

TEST(RoundRect, TheRowSpansAgreeWithThePerPixelDefinition) {
    std::mt19937 random(7);
    std::vector<uint8_t> bits(40 * 40 * 3);
    PixelTarget target{bits.data(), 40, 40, 120};
    for (int trial = 0; trial < 400; ++trial) {
        std::fill(bits.begin(), bits.end(), 0);
        RoundRectShape s;
        s.left = int(random() % 30) - 5;
        s.top = int(random() % 30) - 5;
        s.right = s.left + int(random() % 30);
        s.bottom = s.top + int(random() % 30);
        s.cornerWidth = int(random() % 12);
        const int pen = 1 + int(random() % 4);
        StrokeRoundRect(target, s, pen, packRgb(255, 255, 255));
        const int out = (pen - 1) / 2, in = pen - out;
        const double radius = double(s.cornerWidth / 2);
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                const bool expected =
                    insideRoundRect(double(s.left - out), double(s.top - out), double(s.right + out),
                                    double(s.bottom + out), radius + out, x, y) &&
                    !insideRoundRect(double(s.left + in), double(s.top + in), double(s.right - in),
                                     double(s.bottom - in), std::max(radius - in, 0.0), x, y);
                ASSERT_EQ(bits[size_t(y * 40 + x) * 3] == 255, expected)
                    << "trial " << trial << " pixel " << x << "," << y << " pen " << pen;
            }
        }
    }
}

}  // namespace
}  // namespace qf
