// Where the print primitives put their text: cursor movement, number
// alignment, the digit rules, the styles and the drawing targets.
#include <gtest/gtest.h>

#include <climits>

#include "gfx/text_output.h"
#include "platform/sjis.h"
#include "script/variant.h"
#include "tests/gfx/text_test_support.h"

namespace qf {
namespace {

using test::DrawCall;
using test::RecordingHost;

struct Placed {
    int x, y;
    std::string text;
    bool operator==(const Placed&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Placed& p) {
    return os << "\"" << sjisToUtf8(p.text) << "\"@(" << p.x << "," << p.y << ")";
}

class Printing : public ::testing::Test {
protected:
    RecordingHost host;
    Engine e{host};

    void SetUp() override {
        e.pictures.SelectTarget(Pictures::kBackBufferSlot);
        SetFontSize(e.text, 10);
        SetTextStyle(e.text, kTextPlain);
        SetFontColor(e.text, 255, 255, 255);
        host.calls.clear();
    }

    std::vector<Placed> placed() const {
        std::vector<Placed> out;
        for (const DrawCall& c : host.calls) out.push_back({c.x, c.y, c.text});
        return out;
    }
};

TEST_F(Printing, NumbersEndOneHeightLeftOfTheCursorWithHalfWidthSteps) {
    SetTextPos(e.text, 100, 20);
    PrintNumber(e.text, -42, 0);
    EXPECT_EQ(placed(), (std::vector<Placed>{{90, 20, "2"}, {85, 20, "4"}, {80, 20, "-"}}));
    EXPECT_EQ(e.text.cursorX, 100);
    EXPECT_EQ(e.text.cursorY, 30);

    // An odd height rounds the half step up: (11 + 1) / 2 = 6.
    host.calls.clear();
    SetFontSize(e.text, 11);
    SetTextPos(e.text, 50, 0);
    PrintNumber(e.text, 307, 0);
    EXPECT_EQ(placed(), (std::vector<Placed>{{39, 0, "7"}, {33, 0, "0"}, {27, 0, "3"}}));
    EXPECT_EQ(e.text.cursorY, 11);
}

TEST_F(Printing, FixedDigitCountsPadWithZerosOrKeepTheSurplusTogether) {
    SetTextPos(e.text, 100, 20);
    PrintNumber(e.text, 5, 3);
    EXPECT_EQ(placed(), (std::vector<Placed>{{90, 20, "5"}, {85, 20, "0"}, {80, 20, "0"}}));

    host.calls.clear();
    SetTextPos(e.text, 100, 20);
    PrintNumber(e.text, 1234, 2);
    EXPECT_EQ(placed(), (std::vector<Placed>{{90, 20, "4"}, {85, 20, "123"}}));

    host.calls.clear();
    SetTextPos(e.text, 100, 20);
    PrintNumber(e.text, 0, 0);
    EXPECT_EQ(placed(), (std::vector<Placed>{{90, 20, "0"}}));

    // Ten elements leave no room for the minus; the most negative number has no overflow.
    host.calls.clear();
    SetTextPos(e.text, 200, 0);
    PrintNumber(e.text, INT_MIN, 0);
    ASSERT_EQ(host.calls.size(), 10u);
    EXPECT_EQ(host.calls.front().text, "8");
    EXPECT_EQ(host.calls.back().text, "2");
    EXPECT_EQ(host.calls.back().x, 200 - 9 * 5 - 10);

    // Counts beyond ten digits are held to ten.
    host.calls.clear();
    SetTextPos(e.text, 200, 0);
    PrintNumber(e.text, -7, 25);
    ASSERT_EQ(host.calls.size(), 10u);
    EXPECT_EQ(host.calls[0].text, "7");
    EXPECT_EQ(host.calls[9].text, "0");
}

TEST_F(Printing, SplitDigitsLeastSignificantFirst) {
    int64_t out[kMaxSplitDigits];
    ASSERT_EQ(SplitDigits(9081726354LL, 0, out), 10);
    EXPECT_EQ(std::vector<int64_t>(out, out + 10), (std::vector<int64_t>{4, 5, 3, 6, 2, 7, 1, 8, 0, 9}));
    ASSERT_EQ(SplitDigits(0, -3, out), 1);
    EXPECT_EQ(out[0], 0);
    ASSERT_EQ(SplitDigits(56, 4, out), 4);
    EXPECT_EQ(std::vector<int64_t>(out, out + 4), (std::vector<int64_t>{6, 5, 0, 0}));
    ASSERT_EQ(SplitDigits(98765, 3, out), 3);
    EXPECT_EQ(std::vector<int64_t>(out, out + 3), (std::vector<int64_t>{5, 6, 987}));
}

TEST_F(Printing, FullWidthDigitsStepByHeightLessTwo) {
    SetFullWidthDigits(e.text, 1);
    SetFontSize(e.text, 12);
    host.calls.clear();
    SetTextPos(e.text, 100, 40);
    PrintNumber(e.text, -35, 0);
    EXPECT_EQ(placed(), (std::vector<Placed>{{88, 40, sj("５")}, {78, 40, sj("３")}, {68, 40, sj("－")}}));
    EXPECT_EQ(e.text.cursorY, 52);

    // A surplus element turns every digit to full width.
    host.calls.clear();
    SetTextPos(e.text, 100, 0);
    PrintNumber(e.text, 120, 2);
    EXPECT_EQ(placed(), (std::vector<Placed>{{88, 0, sj("０")}, {78, 0, sj("１２")}}));
}

TEST_F(Printing, LeftAlignedIntegersLabelsCharactersAndValues) {
    SetTextPos(e.text, 7, 8);
    PrintInt(e.text, -120);
    PrintLabel(e.text, "hp", 42);
    PrintChar(e.text, 'Q');
    PrintValue(e.text, variant("text"), 3);
    EXPECT_EQ(placed(), (std::vector<Placed>{{7, 8, "-120"}, {7, 18, "hp:42"}, {7, 28, "Q"}, {7, 38, "text"}}));

    // A number value goes right-aligned with the digit count.
    host.calls.clear();
    SetTextPos(e.text, 60, 0);
    PrintValue(e.text, variant(7.9), 2);
    EXPECT_EQ(placed(), (std::vector<Placed>{{50, 0, "7"}, {45, 0, "0"}}));

    // Full width: at most 15 bytes of whole characters.
    host.calls.clear();
    SetFullWidthDigits(e.text, 1);
    SetTextPos(e.text, 0, 0);
    PrintInt(e.text, 42);
    PrintInt(e.text, -1234567);
    EXPECT_EQ(placed(), (std::vector<Placed>{{0, 0, sj("４２")}, {0, 10, sj("－１２３４５６")}}));
}

TEST_F(Printing, StylesDrawShadowCopiesBeforeTheText) {
    SetFontColor(e.text, 10, 20, 30);
    SetShadowColor(e.text, 1, 2, 3);
    const uint32_t text = packRgb(10, 20, 30), shadow = packRgb(1, 2, 3);

    SetTextStyle(e.text, kTextShadow);
    SetTextPos(e.text, 50, 60);
    PrintLine(e.text, "a");
    ASSERT_EQ(host.calls.size(), 2u);
    EXPECT_EQ((Placed{host.calls[0].x, host.calls[0].y, ""}), (Placed{51, 61, ""}));
    EXPECT_EQ(host.calls[0].colour, shadow);
    EXPECT_EQ((Placed{host.calls[1].x, host.calls[1].y, ""}), (Placed{50, 60, ""}));
    EXPECT_EQ(host.calls[1].colour, text);

    host.calls.clear();
    SetTextStyle(e.text, kTextOutline);
    SetTextPos(e.text, 50, 60);
    PrintLine(e.text, "a");
    EXPECT_EQ(placed(), (std::vector<Placed>{{49, 60, "a"}, {51, 60, "a"}, {50, 59, "a"}, {50, 61, "a"}, {50, 60, "a"}}));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(host.calls[size_t(i)].colour, shadow);
    EXPECT_EQ(host.calls[4].colour, text);

    // The line spacing is the callers' to add.
    SetLineSpacing(e.text, 4);
    SetTextPos(e.text, 0, 0);
    PrintLine(e.text, "x");
    EXPECT_EQ(e.text.cursorY, 10);
}

TEST_F(Printing, TheWindowSlotAndEmptyPicturesReceiveNothingOtherPicturesDo) {
    e.pictures.SelectTarget(Pictures::kWindowSlot);
    SetTextPos(e.text, 0, 0);
    PrintLine(e.text, "a");
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(e.text.cursorY, 10);

    e.pictures.SelectTarget(3);
    PrintLine(e.text, "a");
    EXPECT_TRUE(host.calls.empty());

    e.pictures.Slot(3)->CreateBlank(16, 16, true);
    PrintLine(e.text, "a");
    EXPECT_EQ(host.calls.size(), 1u);

    e.pictures.SelectTarget(40);  // outside the table
    PrintLine(e.text, "a");
    EXPECT_EQ(host.calls.size(), 1u);
}

TEST_F(Printing, FaceChangesSaveTheDescriptionAndRestoreBringsItBack) {
    const std::string gothic = sj("ＭＳ ゴシック");
    EXPECT_EQ(e.text.font.faceSjis, gothic);
    SetFontName(e.text, "symbol");
    SetFontSize(e.text, 15);
    EXPECT_EQ(host.created.back().faceSjis, "symbol");
    EXPECT_EQ(host.created.back().height, 15);
    RestoreFont(e.text);
    EXPECT_EQ(host.created.back().faceSjis, gothic);
    EXPECT_EQ(host.created.back().height, 10);  // the saved description had height 10
    EXPECT_EQ(FontHeight(e.text), 10);
}

}  // namespace
}  // namespace qf
