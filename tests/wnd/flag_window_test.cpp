// The flag window's keys and drawing, the debug window list, and the window
// looks commands run from a script.
#include <gtest/gtest.h>

#include "app/game.h"
#include "gfx/text_output.h"
#include "platform/sjis.h"
#include "script/interpreter.h"
#include "tests/support/scratch_game.h"
#include "tests/gfx/text_test_support.h"
#include "wnd/flag_window.h"
#include "app/text_and_frames.h"
#include "wnd/window_list.h"

namespace qf {
namespace {

class FlagWindowTest : public ::testing::Test {
protected:
    test::RecordingHost host;
    Engine e{host};

    void SetUp() override {
        RegisterStartupWindows(e);
        installTextAndFrames(e);
        e.pictures.SelectTarget(Pictures::kBackBufferSlot);
        SetTextStyle(e.text, kTextPlain);
    }

    void press(std::initializer_list<int> buttons) {
        for (int b : buttons) e.input.pad().repeat[b] = 1;
        e.windows.UpdateFrame();
    }

    int red(int x, int y) {
        const S_Dib* d = e.pictures.Slot(Pictures::kBackBufferSlot);
        return d->m_pBits[(size_t(y) * d->Width() + x) * 3 + 2];
    }

    // The cursor cell's tint shows in its top-left pixel, which no font touches here.
    bool cursorShown() {
        e.pictures.Slot(Pictures::kBackBufferSlot)->Fill(0, 0, 0);
        FlagWindowDraw(e.flagWindow, e.text, e.input, e.vars);
        return red(15 + 5 * e.flagWindow.column, 58 + 5 * e.flagWindow.row) != 0;
    }
};

TEST_F(FlagWindowTest, TheKeysMoveWithWrapToggleAndCloseAndAreConsumed) {
    EXPECT_EQ(e.windows.FocusWindow(), WND_DRV);
    OpenFlagWindow(e.flagWindow, e.windows);
    EXPECT_EQ(e.windows.FocusWindow(), WND_FLG);

    press({BTN_L, BTN_U});
    EXPECT_EQ(e.flagWindow.column, 15);
    EXPECT_EQ(e.flagWindow.row, 15);
    EXPECT_EQ(e.input.pad().repeat[BTN_L], 0);
    press({BTN_R});
    press({BTN_R, BTN_D});
    EXPECT_EQ(e.flagWindow.column, 1);
    EXPECT_EQ(e.flagWindow.row, 0);

    press({BTN_A});
    EXPECT_EQ(e.vars.flagGet(1), 1);
    press({BTN_A});
    EXPECT_EQ(e.vars.flagGet(1), 0);
    e.vars.flagSet(1, 5);
    press({BTN_A});
    EXPECT_EQ(e.vars.flagGet(1), 0);  // (5 + 1) mod 2
    e.vars.flagSet(1, -2);
    press({BTN_A});
    EXPECT_EQ(e.vars.flagGet(1), -1);  // (−2 + 1) mod 2 keeps its sign

    // Only the repeating trigger counts.
    e.input.pad().first[BTN_R] = 1;
    e.input.pad().press[BTN_R] = 1;
    e.windows.UpdateFrame();
    EXPECT_EQ(e.flagWindow.column, 1);
    EXPECT_EQ(e.input.pad().press[BTN_R], 0);

    press({BTN_B});
    EXPECT_EQ(e.flagWindow.open, 0);
    EXPECT_EQ(e.windows.FocusWindow(), WND_DRV);
    EXPECT_EQ(e.windows.OrderAt(e.windows.Count() - 1), WND_FLG);
    FlagWindowUpdate(e.flagWindow, e.input, e.vars, e.windows);  // closed: keys are left alone
    e.input.pad().repeat[BTN_R] = 1;
    FlagWindowUpdate(e.flagWindow, e.input, e.vars, e.windows);
    EXPECT_EQ(e.flagWindow.column, 1);
    EXPECT_EQ(e.input.pad().repeat[BTN_R], 1);
}

TEST_F(FlagWindowTest, TheGridIsDrawnAtHeightFiveBelowTheHeading) {
    SetFontSize(e.text, 12);
    e.vars.flagSet(0, 1);
    e.vars.flagSet(17, 3);
    OpenFlagWindow(e.flagWindow, e.windows);
    e.flagWindow.column = 2;
    e.flagWindow.row = 1;
    host.calls.clear();
    FlagWindowDraw(e.flagWindow, e.text, e.input, e.vars);
    ASSERT_EQ(host.calls.size(), 3u + 256u);
    EXPECT_EQ(host.calls[0].text, sj("フラグ"));
    EXPECT_EQ((Rect{host.calls[0].x, host.calls[0].y, host.calls[0].height, 0}), (Rect{15, 45, 12, 0}));
    EXPECT_EQ(host.calls[1].text, "/:256");
    EXPECT_EQ((Rect{host.calls[1].x, host.calls[1].y, 0, 0}), (Rect{65, 45, 0, 0}));
    EXPECT_EQ(host.calls[2].text, "18");
    EXPECT_EQ((Rect{host.calls[2].x, host.calls[2].y, 0, 0}), (Rect{45, 45, 0, 0}));
    for (int n = 0; n < 256; ++n) {
        const test::DrawCall& c = host.calls[size_t(3 + n)];
        EXPECT_EQ(c.x, 15 + 5 * (n % 16)) << n;
        EXPECT_EQ(c.y, 48 + 5 * (n / 16) + 12) << n;
        EXPECT_EQ(c.height, 5);
        EXPECT_EQ(c.text, sj(n == 0 || n == 17 ? "○" : "－")) << n;
    }
    EXPECT_EQ(FontHeight(e.text), 12);

    // The box: keep 64 of the window colour over black, with its outline in the text colour.
    const int boxBlue = 191 * 192 / 255;
    const S_Dib* back = e.pictures.Slot(Pictures::kBackBufferSlot);
    auto channel = [&](int x, int y, int c) { return int(back->m_pBits[(size_t(y) * 256 + x) * 3 + c]); };
    EXPECT_EQ(channel(12, 100, 0), boxBlue);
    EXPECT_EQ(channel(10, 100, 0), boxBlue);
    EXPECT_EQ(channel(9, 100, 0), 0);
    EXPECT_EQ(channel(11, 100, 2), 255);  // the outline, inset by one
    // The cursor: white tinted with keep 64 over the box.
    EXPECT_EQ(channel(25, 65, 0), (boxBlue * 64 + 191 * 255) / 255);
    EXPECT_EQ(channel(29, 69, 2), 191);
    EXPECT_EQ(channel(30, 65, 2), 0);
}

TEST_F(FlagWindowTest, TheCursorBlinksTwentyFourFramesInThirtyTwoAndHoldingAKeyShowsIt) {
    OpenFlagWindow(e.flagWindow, e.windows);
    std::vector<int> hidden;
    for (int frame = 1; frame <= 64; ++frame)
        if (!cursorShown()) hidden.push_back(frame);
    EXPECT_EQ(hidden, (std::vector<int>{24, 25, 26, 27, 28, 29, 30, 31, 56, 57, 58, 59, 60, 61, 62, 63}));
    for (int frame = 0; frame < 24; ++frame) cursorShown();
    EXPECT_FALSE(cursorShown());
    e.input.pad().held[BTN_X] = 1;
    EXPECT_TRUE(cursorShown());
    EXPECT_EQ(e.flagWindow.blink, 0);
    EXPECT_TRUE(cursorShown());
}

TEST_F(FlagWindowTest, NothingIsDrawnWhileClosed) {
    host.calls.clear();
    e.windows.DrawFrame();
    EXPECT_TRUE(host.calls.empty());
    OpenFlagWindow(e.flagWindow, e.windows);
    e.pictures.SelectTarget(Pictures::kWindowSlot);
    e.windows.DrawFrame();  // the table's draw selects the back buffer itself
    EXPECT_EQ(host.calls.size(), 3u + 256u);
}

TEST_F(FlagWindowTest, TheWindowListShowsTheOrderFromTheFront) {
    e.windows.Activate(WND_MSG);
    host.calls.clear();
    DrawWindowList(e.windows, e.text, 150, 0);
    ASSERT_EQ(host.calls.size(), 1u + 14u + 1u);
    EXPECT_EQ(host.calls[0].text, sj("ウィンドウテーブル"));
    EXPECT_EQ((Rect{host.calls[0].x, host.calls[0].y, 0, 0}), (Rect{155, 5, 0, 0}));
    EXPECT_EQ(host.calls[1].text, "WND_MSG");
    EXPECT_EQ(host.calls[1].y, 15);
    EXPECT_EQ(host.calls[2].text, "WND_DRV");
    EXPECT_EQ(host.calls[14].text, "WND_FLG");
    EXPECT_EQ(host.calls[14].y, 5 + 14 * 10);
    EXPECT_EQ(host.calls[15].text, "14");
    EXPECT_EQ((Rect{host.calls[15].x, host.calls[15].y, 0, 0}), (Rect{225, 15, 0, 0}));
    // The box is 100 wide and 11 · count + 10 high.
    const S_Dib* back = e.pictures.Slot(Pictures::kBackBufferSlot);
    auto blue = [&](int x, int y) { return int(back->m_pBits[(size_t(y) * 256 + x) * 3]); };
    EXPECT_GT(blue(150, 163), 0);
    EXPECT_EQ(blue(150, 164), 0);
    EXPECT_GT(blue(249, 0), 0);
    EXPECT_EQ(blue(250, 0), 0);
}

TEST(WindowCommands, LooksImagesSoundsAndTheFlagWindowFromAScript) {
    test::ScratchGame g({{"start.txt",
                          "#wndSetLooks 10, 20, 30, 40, 2, 0\r\n#vsync\r\n"
                          "#wndSetLooks _NIL, 99\r\n#vsync\r\n"
                          "#wndSetImg 3, 16, 8, 24\r\n#vsync\r\n"
                          "#wndSetImg 4, 8, 0, 0, 128, 6\r\n#wndSetImg 5\r\n#vsync\r\n"
                          "#wndSetSnd 2, 1, 7\r\n#wndSetSnd 9, 1, 7\r\n#wndFlag\r\nafter = 1\r\n"}});
    Engine& e = *g.engine;
    e.game.scriptName = "start.txt";
    GameInit(e);
    e.interp.step();
    for (const S_Frame& f : e.looks.frames) {
        EXPECT_EQ((std::vector<int>{f.r, f.g, f.b, f.keep, f.outline, f.shown}),
                  (std::vector<int>{10, 20, 30, 40, 2, 0}));
    }
    e.interp.step();
    for (const S_Frame& f : e.looks.frames) EXPECT_EQ((std::vector<int>{f.r, f.g, f.b}), (std::vector<int>{10, 99, 30}));
    e.interp.step();
    const FrameImages& img = e.looks.images;
    EXPECT_EQ((std::vector<int>{img.slot, img.tile, img.srcX, img.srcY, img.transparency, img.maskSlot}),
              (std::vector<int>{3, 16, 8, 24, 0, -1}));
    e.interp.step();
    // Left out, the first four are taken as _NIL; the last two keep their values.
    EXPECT_EQ((std::vector<int>{img.slot, img.tile, img.srcX, img.srcY, img.transparency, img.maskSlot}),
              (std::vector<int>{5, kNil, kNil, kNil, 128, 6}));
    e.interp.step();
    EXPECT_EQ(e.looks.sounds[2].device, 1);
    EXPECT_EQ(e.looks.sounds[2].id, 7);
    EXPECT_EQ(e.flagWindow.open, 1);
    EXPECT_EQ(e.windows.FocusWindow(), WND_FLG);
    EXPECT_LT(e.vars.valFind("after"), 0);
    GameClose(e);
}

}  // namespace
}  // namespace qf
