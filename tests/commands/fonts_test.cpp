// "#fontSet", "#fontColor" and "#fontInst" run from scripts. The private font
// is quillfen-test.ttf beside this test: DejaVu Sans cut to printable ASCII,
// renamed "Quillfen Test" (and "クイルフェン" in Japanese), so only an
// installed copy answers to that name.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/game.h"
#include "gfx/text_output.h"
#include "platform/sjis.h"
#include "res/archive_tools.h"
#include "script/interpreter.h"
#include "tests/support/scratch_game.h"
#include "tests/gfx/text_test_support.h"

namespace qf {
namespace {

using test::ScratchGame;

std::string testFont() { return test::readFile(test::referencePath("tests/gfx/quillfen-test.ttf")); }

// The pixels of a line drawn with this face on a black 80 × 16 picture.
std::vector<uint8_t> rendered(Host& host, const std::string& faceSjis, int height = 12) {
    FontDescription d;
    d.height = height;
    d.faceSjis = faceSjis;
    std::vector<uint8_t> bits(80 * 16 * 3, 0);
    PixelTarget t{bits.data(), 80, 16, 80 * 3};
    if (auto font = host.createFont(d)) font->draw(t, 1, 1, "Ag&9", packRgb(255, 255, 255));
    return bits;
}

void runScript(ScratchGame& g, int frames) {
    g.engine->game.scriptName = "start.txt";
    GameInit(*g.engine);
    for (int i = 0; i < frames; ++i) g.engine->interp.step();
}

TEST(FontCommands, FontSetAppliesEachGivenArgument) {
    ScratchGame g({{"start.txt",
                    "#fontSet 14, 3, 1, 1, \"symbol\"\r\n#vsync\r\n"
                    "#fontSet _NIL, _NIL, 0\r\n#vsync\r\n"}});
    runScript(g, 1);
    Engine& e = *g.engine;
    EXPECT_EQ(FontHeight(e.text), 14);
    EXPECT_EQ(e.text.lineSpacing, 3);
    EXPECT_EQ(e.text.style, kTextShadow);
    EXPECT_EQ(e.text.fullWidthDigits, 1);
    EXPECT_EQ(e.text.font.faceSjis, "symbol");
    EXPECT_EQ(e.text.savedFont.faceSjis, sj("ＭＳ ゴシック"));
    e.interp.step();
    EXPECT_EQ(FontHeight(e.text), 14);
    EXPECT_EQ(e.text.lineSpacing, 3);
    EXPECT_EQ(e.text.style, kTextPlain);
    EXPECT_EQ(e.text.font.faceSjis, "symbol");
    GameClose(e);
}

TEST(FontCommands, FontColorSetsTheShadowOnlyWhenItsArgumentsAreGiven) {
    ScratchGame g({{"start.txt",
                    "#fontColor 10, 20, 30, 40, 50, 60\r\n#vsync\r\n"
                    "#fontColor 1, 2, 3\r\n#vsync\r\n"
                    "#fontColor _NIL, 0, 0, 7, 8, 9\r\n#vsync\r\n"}});
    runScript(g, 1);
    Engine& e = *g.engine;
    EXPECT_EQ(e.text.textColour, packRgb(10, 20, 30));
    EXPECT_EQ(e.text.shadowColour, packRgb(40, 50, 60));
    e.interp.step();
    EXPECT_EQ(e.text.textColour, packRgb(1, 2, 3));
    EXPECT_EQ(e.text.shadowColour, packRgb(40, 50, 60));
    e.interp.step();
    EXPECT_EQ(e.text.textColour, packRgb(1, 2, 3));
    EXPECT_EQ(e.text.shadowColour, packRgb(7, 8, 9));
    GameClose(e);
}

TEST(FontCommands, StartUpLeavesHeightTenWhiteOutlinedTextAndTheWindowSelected) {
    ScratchGame g({{"start.txt", "#vsync\r\n"}});
    runScript(g, 0);
    Engine& e = *g.engine;
    EXPECT_EQ(FontHeight(e.text), 10);
    EXPECT_EQ(e.text.font.faceSjis, sj("ＭＳ ゴシック"));
    EXPECT_EQ(e.text.textColour, packRgb(255, 255, 255));
    EXPECT_EQ(e.text.shadowColour, packRgb(0, 0, 0));
    EXPECT_EQ(e.text.style, kTextOutline);
    EXPECT_EQ(e.text.windowColour, packRgb(0, 0, 192));
    EXPECT_EQ(e.text.cursorX, 10);
    EXPECT_EQ(e.text.cursorY, 10);
    EXPECT_EQ(e.pictures.m_nCurBuf, 0);
    GameClose(e);
}

TEST(FontCommands, FontInstInstallsAPrivateFontFromALooseFileUntilTheEngineEnds) {
    ScratchGame g({{"start.txt", "#fontInst qtest.ttf  \r\n#vsync\r\n"}, {"qtest.ttf", testFont()}});
    const std::vector<uint8_t> before = rendered(g.host, "Quillfen Test");
    runScript(g, 1);
    const std::vector<uint8_t> installed = rendered(g.host, "Quillfen Test");
    EXPECT_NE(installed, before);
    EXPECT_EQ(installed, rendered(g.host, "DejaVu Sans"));
    EXPECT_EQ(rendered(g.host, sj("クイルフェン")), installed);
    EXPECT_EQ(rendered(g.host, "quillfen test"), installed);  // ASCII letter case does not matter
    EXPECT_GT(g.engine->text.privateFontHandle, 0);
    GameClose(*g.engine);
    g.engine.reset();
    EXPECT_EQ(rendered(g.host, "Quillfen Test"), before);
}

TEST(FontCommands, FontInstReadsFromTheArchive) {
    ScratchGame g({{"src/main.txt", "#fontInst fonts\\qtest.ttf\r\n#vsync\r\n"}, {"src/fonts/qtest.ttf", testFont()}});
    std::ostringstream out, err;
    ASSERT_EQ(archiveToolPack(g.dir / "src", g.dir / "rom.ar1", out, err), 0) << err.str();
    std::filesystem::remove_all(g.dir / "src");
    const std::vector<uint8_t> before = rendered(g.host, "Quillfen Test");
    GameInit(*g.engine);
    ASSERT_EQ(g.engine->files.m_nRomMode, 2);
    g.engine->interp.step();
    EXPECT_EQ(rendered(g.host, "Quillfen Test"), rendered(g.host, "DejaVu Sans"));
    EXPECT_NE(rendered(g.host, "Quillfen Test"), before);
    GameClose(*g.engine);
}

TEST(FontCommands, MissingOrBrokenFontResourcesInstallNothing) {
    ScratchGame g({{"start.txt", "#fontInst gone.ttf\r\n#fontInst broken.ttf\r\n#fontInst\r\n#vsync\r\n"},
                   {"broken.ttf", std::string(600, 'x')}});
    runScript(g, 1);
    EXPECT_EQ(g.engine->text.privateFontHandle, 0);
    GameClose(*g.engine);
}

TEST(HostFonts, AFontOutlivesItsHostAndSizesAreSharedNotReparsed) {
    std::unique_ptr<Font> font;
    std::vector<uint8_t> early;
    {
        HeadlessHost host;
        early = rendered(host, sj("ＭＳ ゴシック"), 14);
        FontDescription d;
        d.height = 14;
        d.faceSjis = sj("ＭＳ ゴシック");
        font = host.createFont(d);
        ASSERT_TRUE(font);
    }
    std::vector<uint8_t> late(80 * 16 * 3, 0);
    PixelTarget t{late.data(), 80, 16, 80 * 3};
    font->draw(t, 1, 1, "Ag&9", packRgb(255, 255, 255));
    EXPECT_EQ(late, early);
    EXPECT_EQ(font->measure("Ag&9"), 4 * 7);  // half-width cells of a 14-pixel em
    EXPECT_EQ(font->measure(sj("全角")), 2 * 14);
    EXPECT_EQ(font->measure("ab\x82"), 2 * 7);  // a lead byte without its trail is dropped
}

}  // namespace
}  // namespace qf
