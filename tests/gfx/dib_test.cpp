#include <gtest/gtest.h>

#include <map>

#include "gfx/draw.h"
#include "gfx/picture_commands.h"
#include "gfx/pictures.h"
#include "picture_helpers.h"
#include "platform/headless/headless_host.h"

namespace qf {
namespace {

using test::at;
using test::Bgr;
using test::paint;
using test::put;

Bgr distinct(int x, int y) { return {uint8_t(10 * x + y), uint8_t(100 + y), uint8_t(200 + x)}; }

TEST(Dib, TurnMovesEveryPixelAsItsModeSays) {
    const int w = 3, h = 2;
    for (int mode = 0; mode < 8; ++mode) {
        S_Dib dib;
        paint(dib, w, h, distinct);
        dib.Turn(mode);
        const bool swap = mode >= 4;
        ASSERT_EQ(dib.Width(), swap ? h : w) << mode;
        ASSERT_EQ(dib.Height(), swap ? w : h) << mode;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int dx[8] = {x, w - 1 - x, x, w - 1 - x, y, h - 1 - y, y, h - 1 - y};
                const int dy[8] = {y, y, h - 1 - y, h - 1 - y, w - 1 - x, x, x, w - 1 - x};
                EXPECT_EQ(at(dib, dx[mode], dy[mode]), distinct(x, y)) << "mode " << mode << " at " << x << "," << y;
            }
    }
    // [A B]: a quarter turn counter-clockwise puts B on top, clockwise A.
    const Bgr a{1, 2, 3}, b{4, 5, 6};
    S_Dib pair;
    paint(pair, 2, 1, [&](int x, int) { return x == 0 ? a : b; });
    pair.Turn(4);
    EXPECT_EQ(at(pair, 0, 0), b);
    EXPECT_EQ(at(pair, 0, 1), a);
    paint(pair, 2, 1, [&](int x, int) { return x == 0 ? a : b; });
    pair.Turn(5);
    EXPECT_EQ(at(pair, 0, 0), a);
    // Other modes, and empty buffers, change nothing.
    paint(pair, 2, 1, [&](int x, int) { return x == 0 ? a : b; });
    pair.Turn(8);
    pair.Turn(-1);
    EXPECT_EQ(at(pair, 0, 0), a);
    S_Dib empty;
    empty.Turn(1);
    EXPECT_FALSE(empty.HasPixels());
}

TEST(Dib, TurnOfTheWrappedScreenKeepsItsPixelsAndSize) {
    std::vector<uint8_t> screen(4 * 2 * 3);
    for (size_t i = 0; i < screen.size(); ++i) screen[i] = uint8_t(i);
    BmpInfoHeader header;
    header.biWidth = 4;
    header.biHeight = 2;
    S_Dib dib;
    dib.Attach(header, screen.data());
    dib.Turn(5);  // would need 2 × 4: refused
    EXPECT_EQ(dib.m_pBits, screen.data());
    EXPECT_EQ(screen[3], 3);
    dib.Turn(1);
    EXPECT_EQ(dib.m_pBits, screen.data());
    EXPECT_EQ(dib.m_nDibType, kDibWrapped);
    EXPECT_EQ(screen[0], 9);  // pixel 3 of row 0 came to the front
}

TEST(Dib, TintMixesInsideTheClippedRectangle) {
    S_Dib dib;
    paint(dib, 4, 3, [](int, int) { return Bgr{255, 255, 255}; });
    dib.Tint(0, 0, 1, 1, 0, 0, 0, 255);
    EXPECT_EQ(at(dib, 0, 0), (Bgr{255, 255, 255}));
    dib.Tint(0, 0, 1, 1, 0, 0, 0, 128);
    EXPECT_EQ(at(dib, 0, 0), (Bgr{128, 128, 128}));
    dib.Tint(1, 0, 1, 1, 10, 20, 30, 0);
    EXPECT_EQ(at(dib, 1, 0), (Bgr{30, 20, 10}));
    // (200 × 100 + 155 × 50) / 255 = 108 for blue.
    paint(dib, 4, 3, [](int, int) { return Bgr{200, 0, 0}; });
    dib.Tint(0, 0, 4, 3, 0, 0, 50, 100);
    EXPECT_EQ(at(dib, 3, 2).b, 108);
    // A rectangle reaching over every edge tints only what is inside.
    paint(dib, 4, 3, [](int, int) { return Bgr{0, 0, 0}; });
    dib.Tint(-2, -1, 4, 10, 255, 255, 255, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(at(dib, x, y).r, x < 2 ? 255 : 0) << x << "," << y;
    dib.Tint(0, 0, 0, 3, 9, 9, 9, 0);
    dib.Tint(0, 0, 3, -1, 9, 9, 9, 0);
    EXPECT_EQ(at(dib, 2, 0).r, 0);
}

TEST(Dib, ClearFillAndTheBackBufferClear) {
    S_Dib dib;
    paint(dib, 3, 2, distinct);
    dib.Clear(0x1AB);
    EXPECT_EQ(at(dib, 2, 1), (Bgr{0xAB, 0xAB, 0xAB}));
    dib.SetTransColor(1, 2, 3);
    dib.Clear(-1);
    EXPECT_EQ(at(dib, 1, 1), (Bgr{3, 2, 1}));
    dib.Fill(7, 8, 9);
    EXPECT_EQ(at(dib, 0, 0), (Bgr{9, 8, 7}));
    EXPECT_EQ(at(dib, 2, 1), (Bgr{9, 8, 7}));
    dib.CreateBlank(5, 1, true);
    EXPECT_EQ(at(dib, 4, 0), (Bgr{0, 255, 0}));
    EXPECT_EQ(dib.CreateBlank(5, 3, false), 54u + (15 + 1) * 3);
    EXPECT_EQ(dib.m_nPadding, 1);

    HeadlessHost host;
    Pictures pics(host);
    std::vector<uint8_t> screen(6 * 4 * 3, 77);
    pics.CreateScreen(screen.data(), 6, 4);
    EXPECT_EQ(pics.Slot(-7)->m_pBits, screen.data());
    EXPECT_EQ(at(*pics.Slot(-6), 5, 3), (Bgr{0, 0, 0}));
    EXPECT_EQ(pics.Slot(-6)->Width(), 6);
    picBgColor(pics, {10, 10, 10});
    pics.ClearBackBuffer();
    EXPECT_EQ(screen, std::vector<uint8_t>(screen.size(), 10));
    picBgColor(pics, {10, 20, 30});
    pics.ClearBackBuffer();
    EXPECT_EQ(at(*pics.Slot(-7), 5, 3), (Bgr{30, 20, 10}));
    EXPECT_EQ(at(*pics.Slot(-7), 0, 0), (Bgr{30, 20, 10}));
}

TEST(PictureCommands, FloodFillReplacesTheRememberedColourInTheRegion) {
    HeadlessHost host;
    Pictures pics(host);
    S_Dib& slot0 = *pics.Slot(0);
    paint(slot0, 4, 2, [](int x, int) { return x % 2 ? Bgr{0, 0, 0} : Bgr{5, 5, 5}; });
    picRegion(pics, {0, kArgAbsent, kArgAbsent, 3, kArgAbsent});
    EXPECT_EQ(pics.m_region.index, 8);
    EXPECT_EQ(pics.m_region.w, 3);
    EXPECT_EQ(pics.m_region.h, 224);
    picFloodFill(pics, {255, 0, 0, 0, 0, 0});
    EXPECT_EQ(at(slot0, 1, 0), (Bgr{0, 0, 255}));
    EXPECT_EQ(at(slot0, 0, 0), (Bgr{5, 5, 5}));
    EXPECT_EQ(at(slot0, 3, 1), (Bgr{0, 0, 0}));  // outside the region's width
    picFloodFill(pics, {0, 0, 255, kArgAbsent, kArgAbsent, kArgAbsent});
    EXPECT_EQ(at(slot0, 1, 1), (Bgr{255, 0, 0}));
    EXPECT_EQ(at(slot0, 3, 1), (Bgr{0, 0, 0}));
    // Partly given from-colours are ignored; an empty region still sets the colour.
    picRegion(pics, {kArgAbsent, kArgAbsent, kArgAbsent, kArgAbsent, 0});
    picFloodFill(pics, {1, 2, 3, 5, kArgAbsent, 5});
    EXPECT_EQ(slot0.m_nReplR, 1);
    EXPECT_EQ(slot0.m_nReplB, 3);
    EXPECT_EQ(at(slot0, 1, 1), (Bgr{255, 0, 0}));
    // A region outside the table does nothing.
    picRegion(pics, {40, 0, 0, 4, 2});
    picFloodFill(pics, {9, 9, 9, 255, 0, 0});
    EXPECT_EQ(at(slot0, 1, 1), (Bgr{255, 0, 0}));
}

TEST(PictureCommands, TransColorNamesTableEntriesAndFlipTurnsSlots) {
    HeadlessHost host;
    Pictures pics(host);
    picTransColor(pics, {8, 255, 0, 255});
    EXPECT_EQ(pics.Slot(0)->m_nTransR, 255);
    EXPECT_EQ(pics.Slot(0)->m_nTransG, 0);
    picTransColor(pics, {0, 1, 2, 3});
    EXPECT_EQ(pics.Slot(-8)->m_nTransB, 3);
    picTransColor(pics, {32, 1, 2, 3});
    picTransColor(pics, {-1, 1, 2, 3});
    EXPECT_EQ(pics.Slot(23)->m_nTransG, 255);

    paint(*pics.Slot(23), 2, 1, [](int x, int) { return Bgr{uint8_t(x), 0, 0}; });
    picFlip(pics, {23, 1});
    EXPECT_EQ(at(*pics.Slot(23), 0, 0).b, 1);
    picFlip(pics, {24, 1});
    picFlip(pics, {kArgAbsent, 1});
}

TEST(PictureCommands, PicCopyDrawsNormallyAndRemembersAlphaAndMode) {
    HeadlessHost host;
    Pictures pics(host);
    paint(*pics.Slot(1), 4, 4, [](int, int) { return Bgr{0, 0, 0}; });
    paint(*pics.Slot(2), 2, 2, [](int x, int y) { return Bgr{200, uint8_t(x * 50 + y), 100}; });
    picCopy(pics, {1, 2, 1, 1, -1, -1, 0, 0, 0, 1});
    EXPECT_EQ(pics.m_nCurBuf, 9);
    EXPECT_EQ(pics.m_nPicCopyMode, 1);
    EXPECT_EQ(pics.m_nPicCopyAlpha, 0);
    EXPECT_EQ(at(*pics.Slot(1), 1, 1), (Bgr{199, 0, 99}));  // normal, not add
    EXPECT_EQ(at(*pics.Slot(1), 2, 2), (Bgr{199, 50, 99}));
    EXPECT_EQ(at(*pics.Slot(1), 3, 3), (Bgr{0, 0, 0}));
    picCopy(pics, {1, 2, 0, 0, 1, 1, 1, 0, 128, kArgAbsent});
    EXPECT_EQ(pics.m_nPicCopyAlpha, 128);
    EXPECT_EQ(pics.m_nPicCopyMode, 1);
    EXPECT_EQ(at(*pics.Slot(1), 0, 0), (Bgr{99, 24, 49}));  // (0·128 + s·127) >> 8
    picCopy(pics, {1, 2, 0, 0, 1, 1, 0, 0, kArgAbsent, kArgAbsent});
    EXPECT_EQ(pics.m_nPicCopyAlpha, 128);
    // Left-out positions are far outside the target and draw nothing.
    auto before = test::pixels(*pics.Slot(1));
    picCopy(pics, {1, 2, kArgAbsent, kArgAbsent, kArgAbsent, kArgAbsent, kArgAbsent, kArgAbsent, 0, 0});
    EXPECT_EQ(test::pixels(*pics.Slot(1)), before);
    // Targets outside the table draw nowhere.
    picCopy(pics, {30, 2, 0, 0, -1, -1, 0, 0, 0, 0});
    EXPECT_EQ(pics.Target(), nullptr);
}

TEST(PictureCommands, PicLoadReadsThroughTheReaderAndReportsMissingFiles) {
    HeadlessHost host;
    std::map<std::string, std::vector<uint8_t>> files;
    // 2 × 1, 24-bit: red then blue, two padding bytes.
    files["pic\\a.bmp"] = test::makeBmp(2, 1, 24, 0, {}, {0, 0, 255, 255, 0, 0, 0, 0});
    Pictures pics(host, [&](const std::string& name, std::vector<uint8_t>& out) {
        auto it = files.find(name);
        if (it == files.end()) return false;
        out = it->second;
        return true;
    });
    EXPECT_EQ(picLoad(pics, 0, "pic\\a.bmp", kArgAbsent), 1);
    EXPECT_EQ(pics.Slot(0)->m_nTransG, 255);  // default stays
    EXPECT_EQ(pics.Slot(0)->m_nTransR, 0);
    EXPECT_EQ(at(*pics.Slot(0), 1, 0), (Bgr{255, 0, 0}));
    EXPECT_EQ(picLoad(pics, 0, "pic\\a.bmp", 1), 1);
    EXPECT_EQ(pics.Slot(0)->m_nTransR, 255);
    EXPECT_EQ(pics.Slot(0)->m_nTransG, 0);
    EXPECT_EQ(picLoad(pics, 24, "pic\\a.bmp", 0), 0);
    EXPECT_EQ(picLoad(pics, -9, "pic\\a.bmp", 0), 0);
    EXPECT_TRUE(host.logLines().empty());

    EXPECT_EQ(picLoad(pics, 0, "none.bmp", 0), 1);
    EXPECT_FALSE(pics.Slot(0)->HasPixels());
    EXPECT_EQ(pics.Slot(0)->Width(), 2);  // the headers keep the previous size
    ASSERT_EQ(host.logLines().size(), 1u);
    EXPECT_EQ(host.logLines()[0],
              "dialog\tエラー：S_Dib::LoadFile()\tエラー：S_Dib::LoadFile()\\nnone.bmpが見つかりません");
    // Drawing from the emptied slot does nothing.
    paint(*pics.Slot(1), 2, 2, [](int, int) { return Bgr{1, 1, 1}; });
    pics.SelectTarget(1);
    DrawPicture(pics, 0, 0, 0, -1, -1, 0, 0, 0, 0);
    EXPECT_EQ(at(*pics.Slot(1), 0, 0), (Bgr{1, 1, 1}));
}

TEST(BmpLoad, RowsArePaddedBottomUpAndPalettesSizedByColoursUsed) {
    HeadlessHost host;
    // 24-bit, width 3: each stored row is 9 bytes of pixels and 3 of padding.
    std::vector<uint8_t> rows;
    for (int r = 0; r < 2; ++r) {
        for (int x = 0; x < 3; ++x) rows.insert(rows.end(), {uint8_t(r), uint8_t(x), 7});
        rows.insert(rows.end(), {0xEE, 0xEE, 0xEE});
    }
    auto file = test::makeBmp(3, 2, 24, 0, {}, rows);
    S_Dib dib;
    EXPECT_EQ(dib.LoadFromMemory(host, file.data(), file.size(), "w3.bmp", 0), file.size());
    EXPECT_EQ(dib.Width(), 3);
    EXPECT_EQ(dib.m_nPadding, 3);
    EXPECT_EQ(at(dib, 2, 0), (Bgr{1, 2, 7}));  // top row is the last stored
    EXPECT_EQ(at(dib, 0, 1), (Bgr{0, 0, 7}));
    EXPECT_EQ(dib.m_bmi.biBitCount, 24);

    // 8-bit with 16 colours: the index rows start 64 bytes after the header.
    std::vector<uint8_t> palette;
    for (int i = 0; i < 16; ++i) palette.insert(palette.end(), {uint8_t(i), uint8_t(16 * i), 3, 0});
    auto pal16 = test::makeBmp(2, 1, 8, 16, palette, {15, 1, 0, 0});
    ASSERT_GT(dib.LoadFromMemory(host, pal16.data(), pal16.size(), "p16.bmp", 0), 0u);
    EXPECT_EQ(at(dib, 0, 0), (Bgr{15, 240, 3}));
    EXPECT_EQ(at(dib, 1, 0), (Bgr{1, 16, 3}));
    EXPECT_EQ(dib.m_pPalBuf.size(), 64u);
    // Colours-used 0: all 256 entries.
    std::vector<uint8_t> full;
    for (int i = 0; i < 256; ++i) full.insert(full.end(), {uint8_t(i), 0, uint8_t(255 - i), 0});
    auto pal256 = test::makeBmp(1, 1, 8, 0, full, {200, 0, 0, 0});
    ASSERT_GT(dib.LoadFromMemory(host, pal256.data(), pal256.size(), "p256.bmp", 0), 0u);
    EXPECT_EQ(at(dib, 0, 0), (Bgr{200, 0, 55}));
    // An index past the 16 colours is refused, as is a file cut short.
    auto badIndex = test::makeBmp(2, 1, 8, 16, palette, {16, 1, 0, 0});
    EXPECT_EQ(dib.LoadFromMemory(host, badIndex.data(), badIndex.size(), "bad.bmp", 0), 0u);
    EXPECT_FALSE(dib.HasPixels());
    file.resize(file.size() - 4);
    EXPECT_EQ(dib.LoadFromMemory(host, file.data(), file.size(), "cut.bmp", 0), 0u);
    ASSERT_EQ(host.logLines().size(), 2u);
    EXPECT_NE(host.logLines()[1].find("cut.bmp"), std::string::npos);
}

}  // namespace
}  // namespace qf
