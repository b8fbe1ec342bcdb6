// Text as it reaches the screen, with the fonts the set-up installs (IPA
// Gothic from fonts-ipafont-gothic, DejaVu Sans from fonts-dejavu-core),
// compared pixel for pixel with the pictures kept beside this test.
#include <gtest/gtest.h>

#include <filesystem>

#include "gfx/text_output.h"
#include "platform/sjis.h"
#include "platform/text/freetype_text.h"
#include "tests/text/text_test_support.h"
#include "wnd/text_and_frames.h"

namespace qf {
namespace {

std::vector<uint8_t> backBuffer(Engine& e) {
    const S_Dib* d = e.pictures.Slot(Pictures::kBackBufferSlot);
    return std::vector<uint8_t>(d->m_pBits, d->m_pBits + d->PixelCount() * 3);
}

// The file behind a face, through any alternatives links.
std::string fontFile(FreeTypeText& text, const std::string& faceSjis) {
    std::error_code ec;
    std::filesystem::path file = std::filesystem::canonical(text.fontFileFor(faceSjis), ec);
    return ec ? std::string() : file.string();
}

TEST(TextScreenshots, TheReferencePicturesAreDrawnWithTheInstalledFonts) {
    FreeTypeText text;
    EXPECT_EQ(fontFile(text, sj("ＭＳ ゴシック")), "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf");
    EXPECT_EQ(fontFile(text, "MS Gothic"), "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf");
    EXPECT_EQ(fontFile(text, "symbol"), "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
}

class Screenshot : public ::testing::Test {
protected:
    HeadlessHost host;
    Engine e{host};
    void SetUp() override {
        installTextAndFrames(e);
        e.pictures.SelectTarget(Pictures::kBackBufferSlot);
        e.pictures.Slot(Pictures::kBackBufferSlot)->Fill(96, 104, 128);
    }
};

TEST_F(Screenshot, StylesSizesNumbersAndTheSymbolFace) {
    SetShadowColor(e, 0, 0, 0);
    SetTextStyle(e, kTextPlain);
    SetTextPos(e, 4, 4);
    PrintLine(e, sj("Plain 普通の文字 0123"));
    SetTextStyle(e, kTextShadow);
    SetTextPos(e, 4, 18);
    PrintLine(e, sj("Shadow 影つき ABC"));
    SetTextStyle(e, kTextOutline);
    SetTextPos(e, 4, 32);
    PrintLine(e, sj("Outline 縁取り xyz"));

    SetFontColor(e, 255, 224, 64);
    SetFontSize(e, 12);
    SetTextPos(e, 4, 48);
    PrintLine(e, sj("十二ピクセル Height 12"));
    SetFontSize(e, 16);
    PrintLine(e, sj("十六 Height 16"));
    SetFontSize(e, 5);
    SetTextPos(e, 4, 84);
    PrintLine(e, sj("○－○－○－ abc"));

    SetFontSize(e, 10);
    SetFontColor(e, 255, 255, 255);
    SetTextPos(e, 250, 4);
    PrintNumber(e, -1234, 0);
    PrintNumber(e, 56, 4);
    SetFullWidthDigits(e, 1);
    SetFontSize(e, 12);
    PrintNumber(e, -789, 0);
    SetTextPos(e, 180, 64);
    PrintInt(e, 2024);
    SetFullWidthDigits(e, 0);

    SetFontName(e, "symbol");
    SetFontSize(e, 15);
    SetFontColor(e, 255, 64, 96);
    SetTextPos(e, 180, 100);
    PrintLine(e, "\xA9\xA7\xA8\xAA");
    RestoreFont(e);
    EXPECT_EQ(e.text.font.faceSjis, sj("ＭＳ ゴシック"));

    EXPECT_TRUE(test::matchesReference("tests/text/styles.png", backBuffer(e), 256, 224));
}

TEST_F(Screenshot, BoxesWithOutlinesOverAPicture) {
    S_Dib* back = e.pictures.Slot(Pictures::kBackBufferSlot);
    for (int y = 0; y < 224; ++y)
        for (int x = 0; x < 256; ++x) {
            uint8_t* p = back->m_pBits + (size_t(y) * 256 + x) * 3;
            p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = uint8_t((x + y) / 2);
        }
    Box(e, 8, 8, 112, 48, 128, 1);
    SetTextPos(e, 16, 16);
    PrintLine(e, sj("keep 128 枠1"));
    Box(e, 132, 8, 112, 48, 0, 2);
    SetTextPos(e, 140, 16);
    PrintLine(e, sj("keep 0 枠2"));
    PushWindowColor(e, 160, 32, 32);
    Box(e, 8, 72, 240, 64, 64, 3);
    PopWindowColor(e);
    SetTextPos(e, 20, 84);
    PrintLine(e, sj("赤い窓 keep 64 outline 3"));
    Box(e, 8, 150, 60, 60, 255, 1);
    Box(e, 80, 150, 5, 5, 0, 1);
    EXPECT_TRUE(test::matchesReference("tests/text/boxes.png", backBuffer(e), 256, 224));
}

}  // namespace
}  // namespace qf
