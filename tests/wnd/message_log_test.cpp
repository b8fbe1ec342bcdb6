// The message log: the 128 newest entries, the page it opens at, its keys
// and where it draws markers, entries and the header.
#include <gtest/gtest.h>

#include <string>

#include "app/game.h"
#include "app/message_windows.h"
#include "app/text_and_frames.h"
#include "gfx/text_output.h"
#include "platform/sjis.h"
#include "tests/gfx/text_test_support.h"
#include "wnd/message_log.h"

namespace qf {
namespace {

class MessageLogTest : public ::testing::Test {
protected:
    test::RecordingHost host;
    Engine e{host};
    MessageLog& log = e.messageLog;

    void SetUp() override {
        RegisterStartupWindows(e);
        installTextAndFrames(e);
        installMessageWindows(e);
        e.interp.start();
        e.pictures.SelectTarget(Pictures::kBackBufferSlot);
        SetTextStyle(e.text, kTextPlain);
    }

    void addNumbered(int from, int to) {
        for (int i = from; i <= to; ++i) MessageLogAdd(log, std::to_string(i));
    }

    std::vector<test::DrawCall> drawn() {
        host.calls.clear();
        MessageLogDraw(log, e.text, e.looks.frames[kFrameLog], e.looks.images);
        return host.calls;
    }

    void press(int button) {
        e.input.pad().repeat[button] = 1;
        e.input.pad().press[button] = 1;
        e.windows.UpdateFrame();
    }
};

TEST_F(MessageLogTest, AFullLogDropsTheOldestAndOpensAtTheNewestPage) {
    addNumbered(1, 130);
    EXPECT_EQ(log.count, 128);
    EXPECT_EQ(log.entries[0], "3");
    EXPECT_EQ(log.entries[127], "130");
    MessageLogOpen(log, e.windows);
    EXPECT_EQ(log.position, 121);
    EXPECT_EQ(e.windows.FocusWindow(), WND_LOG);

    MessageLogClear(log);
    EXPECT_EQ(log.count, 0);
    addNumbered(1, 10);
    MessageLogOpen(log, e.windows);
    EXPECT_EQ(log.position, 3);
    const std::vector<test::DrawCall> calls = drawn();
    std::vector<std::string> texts;
    for (const test::DrawCall& c : calls)
        if (c.x == 20) texts.push_back(c.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"4", "5", "6", "7", "8", "9", "10"}));
}

TEST_F(MessageLogTest, TheKeysScrollWithinTheEntriesAndCloseTheWindow) {
    addNumbered(1, 10);
    MessageLogOpen(log, e.windows);
    press(BTN_L);
    EXPECT_EQ(log.position, 0);
    press(BTN_U);
    EXPECT_EQ(log.position, 0);
    press(BTN_D);
    EXPECT_EQ(log.position, 1);
    press(BTN_R);
    EXPECT_EQ(log.position, 3);
    for (int i = 0; i < 10; ++i) press(BTN_D);
    EXPECT_EQ(log.position, 9);
    // The wheel: towards the user scrolls down, away up.
    host.addWheel(-120);
    mousePoll(e.input.mouse, host, 256, 224);
    e.windows.UpdateFrame();
    EXPECT_EQ(log.position, 9);
    host.addWheel(120);
    mousePoll(e.input.mouse, host, 256, 224);
    e.windows.UpdateFrame();
    EXPECT_EQ(log.position, 8);
    EXPECT_EQ(e.input.pad().repeat[BTN_D], 0);
    press(BTN_A);
    EXPECT_EQ(log.open, 0);
    EXPECT_EQ(e.windows.FocusWindow(), WND_DRV);

    // An empty log: up and down stay at 0, and only the header is drawn.
    MessageLogClear(log);
    MessageLogOpen(log, e.windows);
    press(BTN_D);
    EXPECT_EQ(log.position, 0);
    press(BTN_U);
    EXPECT_EQ(log.position, 0);
    const std::vector<test::DrawCall> calls = drawn();
    for (const test::DrawCall& c : calls) EXPECT_EQ(c.y, 0) << c.text;
    EXPECT_FALSE(calls.empty());
}

TEST_F(MessageLogTest, EntriesTakeTheirLinesAndOneMoreAndTheHeaderIsRightAligned) {
    MessageLogAdd(log, "one\ntwo\nthree");
    MessageLogAdd(log, "");
    MessageLogAdd(log, "four");
    EXPECT_EQ(log.lineCounts[0], 3);
    MessageLogOpen(log, e.windows);
    const std::vector<test::DrawCall> calls = drawn();
    std::vector<std::pair<std::string, int>> entries, markers;
    for (const test::DrawCall& c : calls) {
        if (c.x == 20) entries.emplace_back(c.text, c.y);
        if (c.x == 10 && c.text == sj("●")) markers.emplace_back(c.text, c.y);
    }
    // A three-line entry takes four lines; the empty entry takes none.
    EXPECT_EQ(entries, (std::vector<std::pair<std::string, int>>{{"one", 10}, {"two", 20}, {"three", 30}, {"four", 50}}));
    ASSERT_EQ(markers.size(), 2u);
    EXPECT_EQ(markers[1].second, 50);
    // position 0 ending at 150, count 3 ending at 190 with "/" at 190, capacity 128 ending at 220.
    std::vector<std::pair<std::string, int>> header;
    for (const test::DrawCall& c : calls)
        if (c.y == 0) header.emplace_back(c.text, c.x);
    EXPECT_EQ(header, (std::vector<std::pair<std::string, int>>{
                          {"0", 140}, {"3", 180}, {"/", 190}, {"8", 210}, {"2", 205}, {"1", 200}}));
}

}  // namespace
}  // namespace qf
