// The name window's character tables and the bytes a typed name is made of;
// the number window's digit rules at their edges.
#include <gtest/gtest.h>

#include "app/game.h"
#include "commands/system_windows.h"
#include "platform/sjis.h"
#include "tests/support/scratch_game.h"
#include "wnd/name_window.h"
#include "wnd/number_window.h"

namespace qf {
namespace {

TEST(NameWindow, ThreeTablesOf85DoubleByteCharactersInGridOrder) {
    for (int t = 0; t < kNameTables; ++t)
        for (int i = 0; i < kNameTableSize; ++i) {
            const std::string& c = NameCharacterTable(t)[i];
            ASSERT_EQ(c.size(), 2u) << t << ":" << i;
            EXPECT_GE(uint8_t(c[0]), 0x81) << t << ":" << i;
        }
    const auto& kata = NameCharacterTable(kNameKatakana);
    const auto& hira = NameCharacterTable(kNameHiragana);
    const auto& letters = NameCharacterTable(kNameLetters);
    EXPECT_EQ(kata[0], sj("ア"));
    EXPECT_EQ(kata[36], sj("ヰ"));
    EXPECT_EQ(kata[38], sj("　"));
    EXPECT_EQ(kata[47], sj("ン"));
    EXPECT_EQ(kata[48], sj("・"));
    EXPECT_EQ(kata[49], sj("ー"));
    EXPECT_EQ(kata[50], sj("ガ"));
    EXPECT_EQ(kata[70], sj("パ"));
    EXPECT_EQ(kata[84], sj("ヴ"));
    EXPECT_EQ(hira[36], sj("ゐ"));
    EXPECT_EQ(hira[38], sj("ゑ"));
    EXPECT_EQ(hira[84], sj("　"));
    EXPECT_EQ(letters[25], sj("Ｚ"));
    EXPECT_EQ(letters[29], sj("　"));
    EXPECT_EQ(letters[30], sj("ａ"));
    EXPECT_EQ(letters[69], sj("０"));
    EXPECT_EQ(letters[70], sj("Ⅰ"));
    EXPECT_EQ(letters[79], sj("Ⅹ"));
    EXPECT_EQ(letters[84], sj("♀"));
    // The grid: three blocks of five columns, six rows; 85 and above are empty.
    EXPECT_EQ(nameTableEntry(0, 0), 0);
    EXPECT_EQ(nameTableEntry(4, 5), 29);
    EXPECT_EQ(nameTableEntry(5, 0), 30);
    EXPECT_EQ(nameTableEntry(14, 4), 84);
    EXPECT_EQ(nameTableEntry(10, 5), 85);
}

struct WindowGame : test::ScratchGame {
    WindowGame() : test::ScratchGame({}, InterpreterOnly{}) {}
    void press(int button) {
        Engine& e = *engine;
        e.input.pad().repeat[button] = 1;
        e.input.pad().first[button] = 1;
        e.windows.UpdateFrame();
    }
};

TEST(NameWindow, ATypedNameIsTheTablesShiftJisBytes) {
    WindowGame g;
    Engine& e = *g.engine;
    OpenNameWindow(e.nameWindow, e.looks.frames[kFrameNameEntry2], e.windows, "who", "", 4);
    WindowServices s = windowServices(e);
    e.windows.update[WND_NAME] = [&] { NameWindowUpdate(e.nameWindow, s); };
    g.press(BTN_D);  // "カ"
    g.press(BTN_A);
    g.press(BTN_B);  // taken back
    g.press(BTN_A);
    // Up to the button row, left from column 0 wraps to 14 and jumps to 12: the switch.
    for (int i = 0; i < 2; ++i) g.press(BTN_U);
    g.press(BTN_L);
    g.press(BTN_L);
    ASSERT_EQ(e.nameWindow.column, 12);
    g.press(BTN_A);
    EXPECT_EQ(e.nameWindow.tableIndex, kNameLetters);
    g.press(BTN_D);  // top row, column 12: "３"
    g.press(BTN_A);
    g.press(BTN_U);  // the button row again; right from 12 jumps to 14: decide
    g.press(BTN_R);
    g.press(BTN_A);
    EXPECT_EQ(e.nameWindow.open, 0);
    EXPECT_STREQ(e.vars.m_var[e.vars.valFind("who")].m_value.raw(), "\x83\x4A\x82\x52");
}

TEST(NumberWindow, DigitsWrapAndTheValueStaysInRange) {
    WindowGame g;
    Engine& e = *g.engine;
    WindowServices s = windowServices(e);
    e.windows.update[WND_NUM] = [&] { NumberWindowUpdate(e.numberWindow, s); };
    NumberWindow& w = e.numberWindow;
    OpenNumberWindow(w, e.windows, 99999, 0, 99999, 7);
    EXPECT_EQ(w.digitCount, 5);
    g.press(BTN_U);  // units 9 -> 0
    EXPECT_EQ(w.value, 99990);
    g.press(BTN_R);  // right from the units wraps to the highest digit
    EXPECT_EQ(w.cursor, 4);
    OpenNumberWindow(w, e.windows, 700, 0, 200, 3);
    EXPECT_EQ(w.value, 200);
    g.press(BTN_D);  // hundreds 2 -> 1
    EXPECT_EQ(w.value, 100);
    OpenNumberWindow(w, e.windows, 5, 0, 99, 1);
    for (int i = 0; i < 5; ++i) g.press(BTN_D);
    EXPECT_EQ(w.value, 0);
    // Below 0 with no non-zero digit left: the whole value becomes 0, not 9.
    g.press(BTN_D);
    EXPECT_EQ(w.value, 0);
    g.press(BTN_B);
    EXPECT_EQ(w.open, 0);
}

}  // namespace
}  // namespace qf
