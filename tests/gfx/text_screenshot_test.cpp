// Text as it reaches the screen, with the fonts the set-up installs (IPA
// Gothic from fonts-ipafont-gothic, DejaVu Sans from fonts-dejavu-core),
// compared pixel for pixel with the pictures kept beside this test.
#include <gtest/gtest.h>

#include <filesystem>

#include "gfx/text_output.h"
#include "platform/sjis.h"
#include "platform/text/freetype_text.h"
#include "tests/gfx/text_test_support.h"
#include "app/text_and_frames.h"

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
    SetShadowColor(e.text, 0, 0, 0);
    SetTextStyle(e.text, kTextPlain);
    SetTextPos(e.text, 4, 4);
    PrintLine(e.text, sj("Plain 普通の文字 0123"));
    SetTextStyle(e.text, kTextShadow);
    SetTextPos(e.text, 4, 18);
    PrintLine(e.text, sj("Shadow 影つき ABC"));
    SetTextStyle(e.text, kTextOutline);
    SetTextPos(e.text, 4, 32);
    PrintLine(e.text, sj("Outline 縁取り xyz"));

    SetFontColor(e.text, 255, 224, 64);
    SetFontSize(e.text, 12);
    SetTextPos(e.text, 4, 48);
    PrintLine(e.text, sj("十二ピクセル Height 12"));
    SetFontSize(e.text, 16);
    PrintLine(e.text, sj("十六 Height 16"));
    SetFontSize(e.text, 5);
    SetTextPos(e.text, 4, 84);
    PrintLine(e.text, sj("○－○－○－ abc"));

    SetFontSize(e.text, 10);
    SetFontColor(e.text, 255, 255, 255);
    SetTextPos(e.text, 250, 4);
    PrintNumber(e.text, -1234, 0);
    PrintNumber(e.text, 56, 4);
    SetFullWidthDigits(e.text, 1);
    SetFontSize(e.text, 12);
    PrintNumber(e.text, -789, 0);
    SetTextPos(e.text, 180, 64);
    PrintInt(e.text, 2024);
    SetFullWidthDigits(e.text, 0);

    SetFontName(e.text, "symbol");
    SetFontSize(e.text, 15);
    SetFontColor(e.text, 255, 64, 96);
    SetTextPos(e.text, 180, 100);
    PrintLine(e.text, "\xA9\xA7\xA8\xAA");
    RestoreFont(e.text);
    EXPECT_EQ(e.text.font.faceSjis, sj("ＭＳ ゴシック"));

    EXPECT_TRUE(test::matchesReference("tests/gfx/styles.png", backBuffer(e), 256, 224));
}

TEST_F(Screenshot, BoxesWithOutlinesOverAPicture) {
    S_Dib* back = e.pictures.Slot(Pictures::kBackBufferSlot);
    for (int y = 0; y < 224; ++y)
        for (int x = 0; x < 256; ++x) {
            uint8_t* p = back->m_pBits + (size_t(y) * 256 + x) * 3;
            p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = uint8_t((x + y) / 2);
        }
    Box(e.text, 8, 8, 112, 48, 128, 1);
    SetTextPos(e.text, 16, 16);
    PrintLine(e.text, sj("keep 128 枠1"));
    Box(e.text, 132, 8, 112, 48, 0, 2);
    SetTextPos(e.text, 140, 16);
    PrintLine(e.text, sj("keep 0 枠2"));
    PushWindowColor(e.text, 160, 32, 32);
    Box(e.text, 8, 72, 240, 64, 64, 3);
    PopWindowColor(e.text);
    SetTextPos(e.text, 20, 84);
    PrintLine(e.text, sj("赤い窓 keep 64 outline 3"));
    Box(e.text, 8, 150, 60, 60, 255, 1);
    Box(e.text, 80, 150, 5, 5, 0, 1);
    EXPECT_TRUE(test::matchesReference("tests/gfx/boxes.png", backBuffer(e), 256, 224));
}

}  // namespace
}  // namespace qf
