// The message window's typing (line and page breaks, values, ruby, inline
// codes), the player's keys, the continuation and what the window draws.
#include <gtest/gtest.h>

#include <string>

#include "app/game.h"
#include "app/message_windows.h"
#include "app/text_and_frames.h"
#include "gfx/text_output.h"
#include "platform/sjis.h"
#include "tests/gfx/text_test_support.h"
#include "wnd/message_log.h"
#include "wnd/message_window.h"

namespace qf {
namespace {

class MessageWindowTest : public ::testing::Test {
protected:
    test::RecordingHost host;
    Engine e{host};
    MessageWindow& w = e.messages;

    void SetUp() override {
        RegisterStartupWindows(e);
        installTextAndFrames(e);
        installMessageWindows(e);
        e.interp.start();
        e.pictures.SelectTarget(Pictures::kBackBufferSlot);
        SetTextStyle(e.text, kTextPlain);
    }

    // Steps while typing; the number of steps taken.
    int typeToWait(int limit = 10000) {
        int steps = 0;
        for (; w.state == kMessageTyping && steps < limit; ++steps) w.Step();
        return steps;
    }

    // Draw calls of one Draw(), with the text given.
    std::vector<test::DrawCall> drawn() {
        host.calls.clear();
        w.Draw();
        return host.calls;
    }
    static const test::DrawCall* find(const std::vector<test::DrawCall>& calls, const std::string& text) {
        for (const test::DrawCall& c : calls)
            if (c.text == text) return &c;
        return nullptr;
    }
};

TEST_F(MessageWindowTest, AFullPageWaitsBeforeTheNextCharacterAndTheNextPageIsWhole) {
    w.columns = 10;
    w.maxLines = 2;
    w.speed = 4;
    w.Begin("AAAAAAAAAABBBBBBBBBBCDEFGHIJKLMNO", "");
    for (int i = 0; i < 5; ++i) w.Step();
    EXPECT_EQ(w.output, "AAAAAAAAAA\nBBBBBBBBBB");
    EXPECT_EQ(w.state, kMessageTyping);
    // The next step meets the full page before it reads "C".
    w.Step();
    EXPECT_EQ(w.state, kMessagePageWait);
    EXPECT_EQ(w.pageBreakPending, 1);
    EXPECT_EQ(w.output, "AAAAAAAAAA\nBBBBBBBBBB\n");
    w.Step();  // waiting: nothing more is typed
    EXPECT_EQ(w.output, "AAAAAAAAAA\nBBBBBBBBBB\n");

    w.Advance();
    w.Step();  // the page is cleared in a frame of its own
    EXPECT_EQ(w.output, "");
    w.Step();  // the key shows the whole next page, not a character lost
    EXPECT_EQ(w.output, "CDEFGHIJKL\nMNO");
    EXPECT_EQ(w.state, kMessagePageWait);
    EXPECT_EQ(w.pageBreakPending, 0);
    EXPECT_GE(w.typed, w.total);
    w.Advance();
    EXPECT_EQ(w.active, 0);
    ASSERT_EQ(e.messageLog.count, 1);
    EXPECT_EQ(e.messageLog.entries[0], "CDEFGHIJKL\nMNO");

    // A text that ends exactly at the end of the page has no empty page after it.
    w.Begin("AAAAAAAAAABBBBBBBBBB", "");
    typeToWait();
    EXPECT_EQ(w.pageBreakPending, 0);
    w.Advance();
    EXPECT_EQ(w.active, 0);
    EXPECT_EQ(e.messageLog.entries[1], "AAAAAAAAAA\nBBBBBBBBBB");

    // A line break of the text at a full line gives no empty line.
    w.maxLines = 4;
    w.Begin("AAAAAAAAAA\nBB\nC", "");
    typeToWait();
    EXPECT_EQ(w.output, "AAAAAAAAAA\nBB\nC");
}

TEST_F(MessageWindowTest, ValuesAndPagesKeepEveryCharacterOfTheNextPage) {
    e.vars.valSetStr("who", "Quillfen");
    w.columns = 8;
    w.maxLines = 1;
    w.speed = 100;
    // The value is longer than its name, the page ends exactly full and the
    // next page starts with the character after it.
    w.Begin("$who!\nsecond\nthird", "");
    typeToWait();
    EXPECT_EQ(w.output, "Quillfen\n");
    w.Advance();
    w.Step();
    w.Step();
    EXPECT_EQ(w.output, "!\n");
    w.Advance();
    w.Step();
    w.Step();
    EXPECT_EQ(w.output, "second\n");
    w.Advance();
    w.Step();
    w.Step();
    EXPECT_EQ(w.output, "third");
    EXPECT_EQ(w.state, kMessagePageWait);
    EXPECT_EQ(w.pageBreakPending, 0);
}

TEST_F(MessageWindowTest, ADoubleByteCharacterThatWouldStartInTheLastColumnMovesWhole) {
    w.columns = 10;
    w.speed = 100;
    const std::string kan = sj("漢");
    w.Begin("123456789" + kan + "x", "");
    typeToWait();
    EXPECT_EQ(w.output, "123456789\n" + kan + "x");
    EXPECT_EQ(w.column, 3);

    // A lead byte at the very end of the text ends it without reading past it.
    w.End();
    w.Begin(std::string("ab\x88", 3), "");
    typeToWait();
    EXPECT_EQ(w.output, std::string("ab\x88", 3));
    EXPECT_EQ(w.state, kMessagePageWait);
    w.Draw();
}

TEST_F(MessageWindowTest, DollarTypesAVariableBySubscriptAndAMissingNameAsText) {
    e.vars.valSetInt("i", 2);
    e.vars.valSetInt("arr[2]", 42);
    e.vars.valSetStr("name", "Ann");
    w.speed = 100;
    w.Begin("a=$arr[i] n=$name m=$missing $ end", "");
    typeToWait();
    EXPECT_EQ(w.output, "a=42 n=Ann m=missing  end");
    EXPECT_EQ(w.state, kMessagePageWait);
    EXPECT_EQ(w.typed, w.total);
    EXPECT_EQ(w.column, 25);

    // A name beyond the length limit names nothing and is typed.
    w.End();
    const std::string longName(300, 'z');
    w.Begin("$" + longName, "");
    typeToWait();
    EXPECT_EQ(w.output.find('$'), std::string::npos);
    EXPECT_EQ(w.output.substr(0, 41), std::string(40, 'z') + "\n");
    EXPECT_EQ(w.pageBreakPending, 1);
}

TEST_F(MessageWindowTest, RubyGoesOverThePrecedingCharacterAndLongReadingsAreNotShown) {
    w.speed = 100;
    const std::string kan = sj("漢"), ji = sj("字"), kana = sj("かん");
    w.Begin(kan + "<" + kana + ">" + ji + "<0123456789A>" + ji + "<0123456789>", "");
    typeToWait();
    EXPECT_EQ(w.output, kan + ji + ji);
    ASSERT_EQ(w.rubyCount, 2);
    EXPECT_EQ(std::string(w.ruby[0].text), kana);
    // After the character, column 2 of line 0: x = 5·2 + 16 + 8 − 10; 4 bytes
    // at height 6 are 12 wide, so x moves by (10 − 12) / 2; y above the line.
    EXPECT_EQ(w.ruby[0].width, 12);
    EXPECT_EQ(w.ruby[0].x, 24 - 1);
    EXPECT_EQ(w.ruby[0].y, 152 + 14 - 6 - 2);
    EXPECT_EQ(std::string(w.ruby[1].text), "0123456789");

    const std::vector<test::DrawCall> calls = drawn();
    const test::DrawCall* reading = find(calls, kana);
    ASSERT_NE(reading, nullptr);
    EXPECT_EQ(reading->height, 6);
    EXPECT_EQ(find(calls, "0123456789A"), nullptr);

    // More than 64 readings on a page: the rest are dropped; an unterminated
    // reading stops at a blank or the end.
    w.End();
    std::string many;
    for (int i = 0; i < 70; ++i) many += "a<r>";
    w.Begin(many + "<open end", "");
    typeToWait();
    EXPECT_EQ(w.rubyCount, MessageWindow::kRubyCapacity);
    EXPECT_EQ(w.output.substr(w.output.size() - 4), " end");
}

TEST_F(MessageWindowTest, BackslashCodes) {
    w.speed = 100;
    w.Begin("\\H \\\\ \\q \\", "");
    typeToWait();
    EXPECT_EQ(w.output, "$ \\ \\q \\");

    // A wait of 500 ms is 30 frames, in decimal or hexadecimal; the terminator is skipped.
    w.End();
    w.Begin("a\\W500;b", "");
    w.Step();
    EXPECT_EQ(w.wait, 30);
    EXPECT_EQ(w.output, "ab");
    w.End();
    w.Begin("\\W0x1F4xc\\W1.5;d", "");
    w.Step();
    EXPECT_EQ(w.wait, 30);
    EXPECT_EQ(w.output, "c");

    // A second wait in the same step ends the step and is read after the first.
    w.End();
    w.Begin("\\W100;e\\W200;f", "");
    w.Step();
    EXPECT_EQ(w.wait, 6);
    EXPECT_EQ(w.output, "e");
    for (int i = 0; i < 6; ++i) w.Draw();
    w.Step();
    EXPECT_EQ(w.wait, 12);
    EXPECT_EQ(w.output, "ef");

    // Instant typing: one step types everything, whatever the speed.
    w.End();
    w.speed = 1;
    w.Begin("\\/abcdefgh", "");
    w.Step();
    EXPECT_EQ(w.output, "abcdefgh");
    EXPECT_EQ(w.state, kMessagePageWait);

    // A key wait stops the step; the key shows the rest of the page.
    w.End();
    w.speed = 2;
    w.Begin("ab\\!cdefgh", "");
    typeToWait();
    EXPECT_EQ(w.state, kMessageKeyWait);
    EXPECT_EQ(w.output, "ab");
    w.Advance();
    w.Step();
    EXPECT_EQ(w.output, "abcdefgh");
    EXPECT_EQ(w.state, kMessagePageWait);
    w.Advance();
    EXPECT_EQ(w.active, 0);
}

TEST_F(MessageWindowTest, KeepWindowCodesHandTheFrameBackToTheScriptWithTheTextOnScreen) {
    w.speed = 100;
    // "+": the next message continues this one in the same window.
    w.Begin("one\\+ two", "");
    w.Step();
    EXPECT_EQ(w.active, 1);
    EXPECT_EQ(e.windows.FocusWindow(), WND_DRV);
    EXPECT_EQ(w.output, "one");
    w.Begin("three", "");
    EXPECT_EQ(e.windows.FocusWindow(), WND_MSG);
    typeToWait();
    EXPECT_EQ(w.output, "one twothree");
    w.Advance();
    EXPECT_EQ(e.messageLog.count, 1);

    // "-": the text stays until the next message replaces it.
    w.Begin("four\\-ignored", "");
    w.Step();
    EXPECT_EQ(w.active, 1);
    EXPECT_EQ(e.windows.FocusWindow(), WND_DRV);
    w.Begin("five", "");
    EXPECT_EQ(e.messageLog.count, 2);
    EXPECT_EQ(e.messageLog.entries[1], "four");
    typeToWait();
    EXPECT_EQ(w.output, "five");
    w.Advance();

    // "^": like "+", and "~" ends the message where it stands.
    w.Begin("six\\^", "");
    w.Step();
    EXPECT_EQ(w.active, 1);
    EXPECT_EQ(e.windows.FocusWindow(), WND_DRV);
    w.Begin("seven\\~eight", "");
    w.Step();
    EXPECT_EQ(w.active, 0);
    EXPECT_EQ(e.messageLog.entries[e.messageLog.count - 1], "sixseven");
    EXPECT_EQ(e.windows.FocusWindow(), WND_DRV);
}

TEST_F(MessageWindowTest, AContinuedMessageAppendsInTheSameWindowWithOneLogEntry) {
    w.speed = 100;
    w.Begin("first", "Ann");
    w.continueFlag = w.keepWindow = 1;
    typeToWait();
    // No wait cursor while the window is kept.
    EXPECT_EQ(find(drawn(), sj("▼")), nullptr);
    w.Advance();
    EXPECT_EQ(w.active, 1);
    EXPECT_EQ(e.windows.FocusWindow(), WND_DRV);
    EXPECT_EQ(e.messageLog.count, 0);
    w.Begin(" second", "Ann");
    typeToWait();
    EXPECT_EQ(w.output, "first second");
    w.Advance();
    EXPECT_EQ(w.active, 0);
    ASSERT_EQ(e.messageLog.count, 1);
    EXPECT_EQ(e.messageLog.entries[0], "first second");
}

TEST_F(MessageWindowTest, AdvanceCompletesThePageSkipAllClosesTheMessageAndHiddenWindowsShowFirst) {
    w.columns = 10;
    w.maxLines = 1;
    w.speed = 1;
    w.Begin("AAAAAAAAAABBBBBBBBBB\\!CCCC\\W900;DDDD", "");
    w.Step();
    w.Advance();
    w.Step();
    EXPECT_EQ(w.output, "AAAAAAAAAA\n");
    w.SkipAll();
    EXPECT_EQ(w.active, 0);
    EXPECT_EQ(w.wait, 0);
    ASSERT_EQ(e.messageLog.count, 1);
    EXPECT_EQ(e.messageLog.entries[0], "CCCCDDDD");

    w.Begin("text", "");
    w.ToggleVisible();
    EXPECT_TRUE(drawn().empty());
    w.Advance();
    EXPECT_EQ(w.visible, 1);
    EXPECT_EQ(w.skipPage, 0);
    w.Advance();
    EXPECT_EQ(w.skipPage, 1);
}

TEST_F(MessageWindowTest, TheKeysOfTheUpdate) {
    w.speed = 1;
    w.Begin("abcdef", "");
    e.input.pad().first[BTN_A] = 1;
    e.windows.UpdateFrame();
    EXPECT_EQ(w.skipPage, 1);
    EXPECT_EQ(e.input.pad().first[BTN_A], 0);
    e.windows.UpdateFrame();
    EXPECT_EQ(w.output, "abcdef");

    e.input.pad().press[BTN_SEL] = 1;
    e.windows.UpdateFrame();
    EXPECT_EQ(e.messageLog.open, 1);
    EXPECT_EQ(e.windows.FocusWindow(), WND_LOG);
    e.input.pad().press[BTN_B] = 1;
    e.windows.UpdateFrame();
    EXPECT_EQ(e.windows.FocusWindow(), WND_MSG);

    e.input.pad().first[BTN_ST] = 1;
    e.windows.UpdateFrame();
    EXPECT_EQ(w.visible, 0);
    e.input.pad().first[BTN_X] = 1;
    e.windows.UpdateFrame();
    EXPECT_EQ(w.visible, 1);
    e.input.pad().first[BTN_B] = 1;
    e.windows.UpdateFrame();
    EXPECT_EQ(w.active, 0);
    EXPECT_EQ(e.windows.FocusWindow(), WND_DRV);
}

TEST_F(MessageWindowTest, TheDrawPlacesNameTextHeartDigitsRubyAndTheCursor) {
    w.speed = 100;
    e.vars.valSetInt("n", 7);
    w.Begin(sj("A漢") + "\\H$n\nB", "Ann");
    typeToWait();
    std::vector<test::DrawCall> calls = drawn();
    // Name plate at (16, 136), text offset (8, 3); the plate widened to fit the name.
    const test::DrawCall* name = find(calls, "Ann");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->x, 24);
    EXPECT_EQ(name->y, 139);
    EXPECT_EQ(e.looks.frames[kFrameNamePlate].w, 2 * 8 + 60);
    // Text from (16 + 8, 152 + 14 − 3), half a font height a column.
    const test::DrawCall* a = find(calls, "A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->x, 24);
    EXPECT_EQ(a->y, 163);
    const test::DrawCall* kan = find(calls, sj("漢"));
    ASSERT_NE(kan, nullptr);
    EXPECT_EQ(kan->x, 29);
    // The heart: the symbol face at 15, raised by (15 − 10) / 2 + 1.
    const test::DrawCall* heart = find(calls, "\xA9");
    ASSERT_NE(heart, nullptr);
    EXPECT_EQ(heart->x, 39);
    EXPECT_EQ(heart->y, 163 - 2 - 1);
    EXPECT_EQ(heart->height, 15);
    EXPECT_EQ(heart->face, "symbol");
    EXPECT_EQ(FontHeight(e.text), 10);
    EXPECT_EQ(e.text.font.faceSjis, sj("ＭＳ ゴシック"));
    // Digits through the number primitive, starting at their column.
    const test::DrawCall* seven = find(calls, "7");
    ASSERT_NE(seven, nullptr);
    EXPECT_EQ(seven->x, 49);
    const test::DrawCall* b = find(calls, "B");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->x, 24);
    EXPECT_EQ(b->y, 173);
    // The cursor at its start-up place in the frame, two pixels smaller, blinking.
    const test::DrawCall* cursor = find(calls, sj("▼"));
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->x, 16 + (224 - 40) / 2);
    EXPECT_EQ(cursor->y, 152 + 54);
    EXPECT_EQ(cursor->height, 8);
    for (int i = 0; i < 30; ++i) w.Step();
    EXPECT_EQ(find(drawn(), sj("▼")), nullptr);
    for (int i = 0; i < 30; ++i) w.Step();

    // Negative coordinates follow the end of the text, each on its own.
    w.iconX = -1;
    w.iconY = -1;
    calls = drawn();
    cursor = find(calls, sj("▼"));
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->x, 24 + 1 * 10 / 2 + 2);
    EXPECT_EQ(cursor->y, 152 + 14 + 10);
    w.iconX = 100;
    calls = drawn();
    cursor = find(calls, sj("▼"));
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->x, 116);
    EXPECT_EQ(cursor->y, 176);

    // A cursor sprite is drawn there instead of the glyph, and does not blink.
    S_Sprite& icon = e.sprites.m_spr[40];
    icon.m_nView = 1;
    icon.m_nW = icon.m_nH = 4;
    w.iconSprite = 40;
    w.iconX = 92;
    w.iconY = 54;
    EXPECT_EQ(find(drawn(), sj("▼")), nullptr);
    EXPECT_EQ(icon.m_fX, 108.0f);
    EXPECT_EQ(icon.m_fY, 206.0f);
    w.iconSprite = -1;

    // With full-width digits a digit takes two columns.
    w.End();
    SetFullWidthDigits(e.text, 1);
    w.Begin("12", "");
    typeToWait();
    EXPECT_EQ(w.column, 4);
    EXPECT_NE(find(drawn(), sj("２")), nullptr);
}

TEST_F(MessageWindowTest, TypingSoundsAnimationSlotsAndTheSpriteRange) {
    w.speed = 1;
    w.typingSound = 5;
    w.Begin("abcdefgh", "");
    std::vector<int> played;
    for (int i = 0; i < 7; ++i) {
        e.audio.effects.lastPlayed = -1;
        w.Step();
        played.push_back(e.audio.effects.lastPlayed);
    }
    EXPECT_EQ(played, (std::vector<int>{5, -1, -1, 5, -1, -1, 5}));
    // This message's own slot -1 silences it; End() brings back the window's.
    w.messageSound = -1;
    for (int i = 0; i < 3; ++i) {
        e.audio.effects.lastPlayed = -1;
        w.Step();
        EXPECT_EQ(e.audio.effects.lastPlayed, -1);
    }
    w.End();
    EXPECT_EQ(w.messageSound, MessageWindow::kNoMessageSound);

    // A slot's sprite: marked, moved by the typing, back at frame 0 while waiting.
    S_Sprite& s = e.sprites.m_spr[20];
    s.m_nAnimeState = 1;
    s.m_nAnimeFrames = 2;
    s.m_nPeriod = 3;
    w.SetAnime(1, 20);
    w.SetAnime(4, 20);
    EXPECT_EQ(s.m_nAnimeState, 11);
    w.animeSlot = 1;
    w.Begin("abcdefgh", "");
    std::vector<int> frames;
    for (int i = 0; i < 6; ++i) {
        w.Step();
        frames.push_back(s.m_nAnimeCurrent);
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 1, 1, 0, 0, 0}));
    typeToWait();
    w.Step();
    EXPECT_EQ(s.m_nAnimeCurrent, 0);
    w.ClearAnime(1);
    EXPECT_EQ(s.m_nAnimeState, 1);
    EXPECT_EQ(w.animeSprite[1], -1);
    w.End();

    w.Begin("x", "");
    w.ShowSprites(30, 3, true);
    EXPECT_EQ(e.sprites.m_spr[30].m_nView, 1);
    EXPECT_EQ(e.sprites.m_spr[32].m_nView, 1);
    EXPECT_EQ(e.sprites.m_spr[33].m_nView, 0);
    w.End();
    EXPECT_EQ(e.sprites.m_spr[30].m_nView, 0);
    EXPECT_EQ(e.sprites.m_spr[32].m_nView, 0);
    EXPECT_EQ(w.spriteFirst, -1);
    // A range reaching past the last sprite stops there.
    w.Begin("x", "");
    w.ShowSprites(Sprites::kCount - 1, 1000, true);
    w.End();
}

}  // namespace
}  // namespace qf
