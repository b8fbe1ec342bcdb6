#include <gtest/gtest.h>

#include <string>

#include "app/engine.h"
#include "app/game.h"
#include "wnd/planes.h"
#include "gfx/text_output.h"
#include "platform/sjis.h"
#include "tests/support/scratch_game.h"

namespace qf {
namespace {

// A game whose main.txt is `script` (UTF-8 lines, converted), run for `frames` frames.
struct PlaneGame {
    std::unique_ptr<test::ScratchGame> game;
    Engine* e = nullptr;

    PlaneGame(const std::string& script, int frames) {
        std::string text;
        size_t start = 0;
        while (start <= script.size()) {
            size_t nl = script.find('\n', start);
            text += utf8ToSjis(script.substr(start, nl == std::string::npos ? std::string::npos : nl - start)) + "\r\n";
            if (nl == std::string::npos) break;
            start = nl + 1;
        }
        game = std::make_unique<test::ScratchGame>(test::FileList{{"main.txt", text}});
        e = game->engine.get();
        GameInit(*e);
        run(frames);
    }
    ~PlaneGame() { GameClose(*e); }
    void run(int frames) {
        for (int ran = 0, pass = 0; ran < frames && pass < 100000; ++pass) {
            game->host.pumpEvents();
            if (FrameTick(*e)) {
                ++ran;
                game->host.frameRan();
            }
            game->host.sleepMs(1);
        }
    }
    Plane& plane(int n = 0) { return e->planes.plane[n]; }
};

TEST(TextPlanes, PrintedLinesStackByFontHeightAndLineSpacing) {
    PlaneGame g("#fontSet 10, 2\n#pos 10, 20\n#print \"one\"\n#print \"two\"\n#print \"three\"\n#vsync\n*w\n#vsync\n#goto *w", 2);
    Plane& p = g.plane();
    ASSERT_EQ(p.m_nCntPrint, 3);
    EXPECT_EQ(p.printList[0].y, 20);
    EXPECT_EQ(p.printList[1].y, 32);
    EXPECT_EQ(p.printList[2].y, 44);
    EXPECT_EQ(p.printList[2].x, 10);
    EXPECT_EQ(p.printList[0].type, kPlaneFixed);
    EXPECT_EQ(valueText(p.printList[1].text), "two");
    EXPECT_EQ(p.printList[0].size, 10);
}

TEST(TextPlanes, PrintIsLivePrintfIsASnapshot) {
    PlaneGame g("score = 5\nname = \"abc\"\nr = 1.5\n#print score\n#printf score\n#printf name\n#print r\n#print 7\n"
                "#print arr[1]\n#print arr[1], , , 1\n#vsync\n*w\n#vsync\n#goto *w", 2);
    Plane& p = g.plane();
    ASSERT_EQ(p.m_nCntPrint, 7);
    EXPECT_EQ(p.printList[0].type, kPlaneReference);
    EXPECT_EQ(p.printList[0].reference, g.e->vars.valFind("score"));
    EXPECT_EQ(p.printList[1].type, kPlaneNumber);
    EXPECT_EQ(valueText(p.printList[1].text), "5");
    EXPECT_EQ(p.printList[2].type, kPlaneFixed);
    EXPECT_EQ(valueText(p.printList[2].text), "abc");
    // A real variable is live too; a literal number is a number line.
    EXPECT_EQ(p.printList[3].type, kPlaneReference);
    EXPECT_EQ(p.printList[4].type, kPlaneNumber);
    EXPECT_EQ(valueText(p.printList[4].text), "7");
    // An element: a name looked up when drawn, or with the fourth argument 1 the expression as written.
    EXPECT_EQ(p.printList[5].reference, kPlaneUnresolved);
    EXPECT_EQ(valueText(p.printList[5].text), "arr[1]");
    EXPECT_EQ(p.printList[6].reference, kPlaneExpression);
    EXPECT_EQ(valueText(p.printList[6].text), "arr[1]");
}

TEST(TextPlanes, SelectionRingAndDrawingOrder) {
    PlaneGame g("#sel 3, 1\n#sel 2\n#sel 5\n#unsel\na = _sel\n#sel 0, 1\n#vsync\n*w\n#vsync\n#goto *w", 2);
    Planes& planes = g.e->planes;
    EXPECT_EQ(planes.g_nPlnSel, 0);
    // After "#unsel" plane 2 was selected again; _sel keeps the last "#sel".
    EXPECT_EQ(g.e->vars.valGetInt(g.e->vars.valFind("a")), 5);
    int want[8] = {1, 2, 4, 5, 6, 7, 3, 0};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(planes.order[i], want[i]) << i;

    PlaneGame h("#sel 2\n#sel 5\n#unsel\n#vsync\n*w\n#vsync\n#goto *w", 2);
    EXPECT_EQ(h.e->planes.g_nPlnSel, 2);
    PlaneGame bad("#sel 8\n#sel -1\n#vsync\n*w\n#vsync\n#goto *w", 2);
    EXPECT_EQ(bad.e->planes.g_nPlnSel, 0);
}

TEST(TextPlanes, PlacedTextsNumbersKeepsAndDeletion) {
    PlaneGame g("hp = 30\n#txt 4, hp, 10, 20\n#txt _NIL, \"label\", 50\n#txt 9, hp, 1, 2, 0, 200\n#txt 12, hp + 1\n"
                "#txtColor 4, 255, 0, 0\n#vsync\n*w\n#vsync\n#goto *w", 2);
    Plane& p = g.plane();
    EXPECT_EQ(p.texts[4].type, kPlaneReference);
    EXPECT_EQ(p.texts[4].x, 10);
    EXPECT_EQ(p.texts[4].r, 255);
    // No number: the next after the last one used, keeping the x of that entry's old y.
    EXPECT_EQ(p.texts[5].type, kPlaneFixed);
    EXPECT_EQ(valueText(p.texts[5].text), "label");
    EXPECT_EQ(p.texts[5].x, 50);
    // live 0: a snapshot of the integer; a size outside 1..100 is the font height.
    EXPECT_EQ(p.texts[9].type, kPlaneNumber);
    EXPECT_EQ(valueText(p.texts[9].text), "30");
    EXPECT_EQ(p.texts[9].size, FontHeight(g.e->text));
    // The argument name of "hp + 1" is hp: the text follows the variable.
    EXPECT_EQ(p.texts[12].type, kPlaneReference);
    EXPECT_EQ(valueText(p.texts[12].text), "hp");
    EXPECT_EQ(p.textCount, 13);
    EXPECT_EQ(p.lastText, 12);

    PlaneGame d("#txt 1, \"a\"\n#txt 2, \"b\"\n#txtDel 1\nx = 1\n#vsync\n#txtDel -1\n#vsync\n*w\n#vsync\n#goto *w", 1);
    EXPECT_EQ(d.plane().texts[1].type, kPlaneFree);
    EXPECT_EQ(d.plane().texts[2].type, kPlaneFixed);
    d.run(1);
    EXPECT_EQ(d.plane().textCount, 0);
    EXPECT_EQ(d.plane().lastText, -1);
    EXPECT_EQ(d.plane().texts[2].type, kPlaneFree);
}

TEST(TextPlanes, TheListsStopAtTheirSizeAndBadNumbersAreIgnored) {
    PlaneGame g("#repeat 300\n#print \"x\"\n#loop\n#txt 256, 1\n#txt -3, 1\n#plnWndSet 8, 1, 1, 1, 1\n#plnSprSet 16, 1\n"
                "#plnSprSet 0, 300\n#vsync\n*w\n#vsync\n#goto *w", 2);
    EXPECT_EQ(g.plane().m_nCntPrint, 256);
    EXPECT_EQ(g.plane().textCount, 0);
    EXPECT_EQ(g.plane().m_nCntSpr, 0);
}

TEST(TextPlanes, ClsClosesFramesAndHidesSlotsAndViewHideToggleTheLayer) {
    PlaneGame g("#plnWndSet 2, 10, 20, 100, 50, 128, 1\n#plnSprSet 3, 7, 1\n#print \"a\"\n#vsync\n#cls\n#hide\n#vsync\n"
                "*w\n#vsync\n#goto *w", 1);
    Plane& p = g.plane();
    EXPECT_EQ(p.frames[2].x, 10);
    EXPECT_EQ(p.frames[2].w, 100);
    EXPECT_EQ(p.frames[2].keep, 128);
    EXPECT_EQ(p.frames[2].shown, 1);
    EXPECT_EQ(p.sprites[3], 7);
    EXPECT_EQ(p.m_nCntSpr, 4);
    EXPECT_EQ(p.spriteVisible[3], 1);
    g.run(1);
    EXPECT_EQ(p.frames[2].shown, 0);
    EXPECT_EQ(p.spriteVisible[3], 0);
    EXPECT_EQ(p.m_nCntPrint, 0);
    EXPECT_EQ(p.m_nCntSpr, 0);
    EXPECT_EQ(g.e->planes.m_nFlagWndPln, 0);
}

TEST(TextPlanes, ALiveLineFollowsItsVariableAfterTheTableIsSorted) {
    PlaneGame g("zz = 1\naa = 2\n#print zz\n#vsync\n#valSort\n#vsync\n*w\n#vsync\n#goto *w", 1);
    PlaneStr& line = g.plane().printList[0];
    const int before = line.reference;
    g.run(2);
    ASSERT_NE(g.e->vars.valFind("zz"), before);  // sorting moved the record
    EXPECT_EQ(line.reference, g.e->vars.valFind("zz"));
}

}  // namespace
}  // namespace qf
