#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/debug_overlay.h"
#include "app/engine.h"
#include "app/overlay_canvas.h"
#include "platform/sjis.h"
#include "tests/support/scratch_game.h"

namespace qf {
namespace {

// Records every call as one line: "text x y TEXT", "number x y N", "box x y w h", "fill x y w h colour", "picture i".
class RecordingCanvas : public OverlayCanvas {
public:
    std::vector<std::string> calls;
    uint32_t colour = 0xFFFFFF;

    void box(int x, int y, int w, int h, int, int) override { add("box", {x, y, w, h}); }
    void text(int x, int y, std::string_view sjis) override { add("text", {x, y}, std::string(sjis)); }
    void number(int x, int y, int n, int) override { add("number", {x, y, n}); }
    void fill(int x, int y, int w, int h, uint32_t c) override { add("fill", {x, y, w, h, static_cast<int>(c)}); }
    uint32_t textColour() override { return colour; }
    int lineHeight() override { return 10; }
    void picture(int index) override { add("picture", {index}); }

    bool has(const std::string& call) const { return std::find(calls.begin(), calls.end(), call) != calls.end(); }
    int indexOf(const std::string& prefix) const {
        for (size_t i = 0; i < calls.size(); ++i)
            if (calls[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
        return -1;
    }
    std::vector<std::string> numbers() const {
        std::vector<std::string> out;
        for (const auto& c : calls)
            if (c.rfind("number", 0) == 0) out.push_back(c);
        return out;
    }

private:
    void add(const char* kind, std::initializer_list<int> values, const std::string& tail = {}) {
        std::string line = kind;
        for (int v : values) line += " " + std::to_string(v);
        if (!tail.empty()) line += " " + tail;
        calls.push_back(line);
    }
};

struct OverlayGame : test::ScratchGame {
    RecordingCanvas canvas;
    OverlayGame() : ScratchGame({}, InterpreterOnly{}) { engine->files.m_nRomMode = 1; }
    void frame() {
        canvas.calls.clear();
        DebugOverlay(*engine, canvas);
    }
};

TEST(DebugOverlay, DigitKeysTogglePanelsThenRestForSevenFramesAndZeroClearsAll) {
    OverlayGame g;
    Engine& e = *g.engine;
    e.run.statisticsMode = 0;
    g.host.setKey('1', true);
    g.frame();
    EXPECT_EQ(e.game.debugPanel[0], 1);
    // Held on: the count-down keeps the key from toggling again for 7 frames.
    for (int i = 0; i < 6; ++i) g.frame();
    EXPECT_EQ(e.game.debugPanel[0], 1);
    g.frame();
    EXPECT_EQ(e.game.debugPanel[0], 0);
    g.host.setKey('1', false);
    for (int i = 0; i < 7; ++i) g.frame();
    g.host.setKey('3', true);
    g.host.setKey('9', true);
    g.frame();
    EXPECT_EQ(e.game.debugPanel[2], 1);
    EXPECT_EQ(e.game.debugPanel[8], 1);
    g.host.setKey('3', false);
    g.host.setKey('9', false);
    for (int i = 0; i < 7; ++i) g.frame();
    g.host.setKey('0', true);
    g.frame();
    for (int flag : e.game.debugPanel) EXPECT_EQ(flag, 0);
}

TEST(DebugOverlay, OnlyTextScriptRunsGetTheOverlay) {
    OverlayGame g;
    g.engine->files.m_nRomMode = 2;
    g.engine->game.debugPanel[0] = 1;
    g.host.setKey('2', true);
    g.frame();
    EXPECT_TRUE(g.canvas.calls.empty());
    EXPECT_EQ(g.engine->game.debugPanel[1], 0);
}

TEST(DebugOverlay, FrameStatisticsByMode) {
    OverlayGame g;
    Engine& e = *g.engine;
    // Frame times 20 ms then 10 ms; the rest of the history is 0.
    e.timers.set(6, 0);
    g.host.sleepMs(20);
    e.run.statisticsMode = 3;
    g.frame();
    e.timers.set(6, e.host.tickMs());
    g.host.sleepMs(10);
    g.frame();
    // Mean 30/60 = 0, largest 20, smallest 0, this frame 10, one entry above 16.
    std::vector<std::string> want = {"number 256 0 0", "number 256 10 20", "number 256 20 0", "number 256 30 10",
                                     "number 256 40 1"};
    EXPECT_EQ(g.canvas.numbers(), want);

    // A 40 ms frame: mean 70/60 = 1, largest 40, smallest 0, and no count.
    e.run.statisticsMode = 2;
    e.timers.set(6, e.host.tickMs());
    g.host.sleepMs(40);
    g.frame();
    want = {"number 256 0 1", "number 256 10 40", "number 256 20 0"};
    EXPECT_EQ(g.canvas.numbers(), want);

    e.run.statisticsMode = 1;
    g.frame();
    EXPECT_EQ(g.canvas.numbers().size(), 1u);

    // History 20, 10, 40, 40, 7: the five lines end at y 40, the columns start at y 50.
    e.run.statisticsMode = 4;
    e.timers.set(6, e.host.tickMs());
    g.host.sleepMs(7);
    g.frame();
    auto numbers = g.canvas.numbers();
    ASSERT_EQ(numbers.size(), 65u);
    EXPECT_EQ(numbers[3], "number 256 30 7");
    EXPECT_EQ(numbers[4], "number 256 40 3");
    EXPECT_EQ(numbers[5], "number 180 50 20");    // history entry 0
    EXPECT_EQ(numbers[5 + 15], "number 205 50 0"); // entry 15 starts column 1
    EXPECT_EQ(e.timers.get(5), 7u);
}

TEST(DebugOverlay, StatisticsWaitWhileTheDigitKeysRest) {
    OverlayGame g;
    g.engine->run.statisticsMode = 1;
    g.host.setKey('5', true);
    g.frame();  // toggles panel 4; statistics still drawn on this frame
    EXPECT_EQ(g.canvas.numbers().size(), 1u);
    g.host.setKey('5', false);
    g.frame();
    EXPECT_TRUE(g.canvas.numbers().empty());
}

TEST(DebugOverlay, GeneralPanelFrameRateLineAndTimers) {
    OverlayGame g;
    Engine& e = *g.engine;
    e.run.statisticsMode = 0;
    e.game.debugPanel[0] = 1;
    e.game.refreshRate = 75;
    g.frame();
    EXPECT_TRUE(g.canvas.has("fill 0 210 256 10 0"));  // white text: a black strip
    EXPECT_GE(g.canvas.indexOf("text 0 210 FPS:000 TC:"), 0);
    EXPECT_TRUE(g.canvas.has("box 190 100 60 100"));
    EXPECT_TRUE(g.canvas.has("text 195 105 " + sj("タイマー：") + "0"));
    EXPECT_TRUE(g.canvas.has("text 0 200 " + sj("リフレッシュレート") + ":75"));
    EXPECT_TRUE(g.canvas.has("text 0 10 " + sj("マウス")));

    // The per-second value is the count of frames in the last second.
    for (int i = 0; i < 70; ++i) {
        g.host.sleepMs(16);
        g.frame();
    }
    EXPECT_GT(e.game.fpsValue, 55);
    EXPECT_LT(e.game.fpsValue, 70);
    g.canvas.colour = 0x0000FF;
    g.frame();
    EXPECT_TRUE(g.canvas.has("fill 0 210 256 10 16777215"));
}

TEST(DebugOverlay, PanelsDrawInTheirOrderAndListingsTurnPages) {
    test::ScratchGame game({{"main.txt", "a = 1\r\n#vsync\r\n"}}, test::ScratchGame::InterpreterOnly{});
    Engine& e = *game.engine;
    e.interp.open("main.txt");
    e.files.m_nRomMode = 1;
    e.run.statisticsMode = 0;
    e.game.debugPanel[0] = e.game.debugPanel[5] = e.game.debugPanel[2] = 1;
    RecordingCanvas canvas;
    DebugOverlay(e, canvas);
    const int commands = canvas.indexOf("text 5 5 " + sj("命令リスト"));
    const int interpreter = canvas.indexOf("text 5 5 Qlfmod");
    const int general = canvas.indexOf("box 190 100");
    ASSERT_GE(commands, 0);
    EXPECT_GT(interpreter, commands);
    EXPECT_GT(general, interpreter);
    EXPECT_TRUE(canvas.has("text 65 5 -1 / 2"));
    EXPECT_TRUE(canvas.has("text 45 15 $"));

    // Button 1 held and the right trigger: the next page, then no turn for 8 frames.
    Pad& pad = e.input.pad();
    pad.held[1] = 1;
    pad.repeat[BTN_R] = 1;
    DrawVariableViewer(e, canvas);  // pages without button 1 ...
    EXPECT_EQ(e.game.overlayPages.variableWait, 8);
    DrawCommandList(e, canvas);     // ... and with it; one page only wraps to itself
    EXPECT_EQ(e.game.overlayPages.commands, 0);
    EXPECT_EQ(e.game.overlayPages.listingWait, 8);
    pad.repeat[BTN_R] = 0;
    for (int i = 0; i < 8; ++i) DrawCommandList(e, canvas);
    EXPECT_EQ(e.game.overlayPages.listingWait, 0);
}

}  // namespace
}  // namespace qf
