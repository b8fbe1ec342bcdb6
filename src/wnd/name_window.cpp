#include "wnd/name_window.h"

#include <algorithm>
#include <array>

#include "gfx/pictures.h"
#include "gfx/text_output.h"
#include "input/input.h"
#include "platform/sjis.h"
#include "script/variables.h"
#include "wnd/frame.h"
#include "wnd/window_services.h"
#include "wnd/window_table.h"

namespace qf {

namespace {

// Rows of five characters: the Japanese syllabary row by row, then the
// voiced rows, the half-voiced row and the small kana.
constexpr const char* kHiragana =
    "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほ"
    "まみむめもやゐゆゑよらりるれろわをん・ーがぎぐげござじずぜぞ"
    "だぢづでどばびぶべぼぱぴぷぺぽぁぃぅぇぉっゃゅょ　";
constexpr const char* kKatakana =
    "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホ"
    "マミムメモヤヰユ　ヨラリルレロワヲン・ーガギグゲゴザジズゼゾ"
    "ダヂヅデドバビブベボパピプペポァィゥェォッャュョヴ";
constexpr const char* kLetters =
    "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ．，＿　"
    "ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ－＋＊／"
    "１２３４５６７８９０ⅠⅡⅢⅣⅤⅥⅦⅧⅨⅩ！？☆♂♀";

using Table = std::string[kNameTableSize];

// Every character of these texts is two bytes in Shift-JIS.
void fill(Table& table, const char* utf8) {
    const std::string& sjis = sj(utf8);
    for (int i = 0; i < kNameTableSize; ++i)
        table[i] = 2 * size_t(i) + 2 <= sjis.size() ? sjis.substr(2 * size_t(i), 2) : std::string();
}

bool onButtonRow(const NameWindow& w) { return w.row == NameWindow::kRows - 1; }
bool onSwitch(const NameWindow& w) { return onButtonRow(w) && (w.column == 11 || w.column == 12); }
bool onDecide(const NameWindow& w) { return onButtonRow(w) && (w.column == 13 || w.column == 14); }

void clearFrom(NameWindow& w, int first) {
    for (int i = std::max(first, 0); i < NameWindow::kSlots; ++i) w.slots[i].clear();
}

// Two bytes a slot, within the maximum length.
void writeDefault(NameWindow& w) {
    clearFrom(w, 0);
    for (int i = 0; i < w.maxLength && size_t(i) * 2 < w.defaultName.size(); ++i)
        w.slots[i] = w.defaultName.substr(size_t(i) * 2, 2);
}

int wrap(int v, int n) { return (v % n + n) % n; }

void typeCharacter(NameWindow& w) {
    const int entry = nameTableEntry(w.column, w.row);
    if (w.position >= w.maxLength || entry >= kNameTableSize || !w.table) return;
    w.slots[w.position++] = w.table[entry];
    clearFrom(w, w.position);
}

void decide(NameWindow& w, WindowServices& s) {
    std::string name;
    for (const std::string& slot : w.slots) name += slot;
    if (name.empty()) return;
    s.vars.valSetStr(w.resultName, name);
    w.open = 0;
    s.windows.Deactivate(WND_NAME);
}

void print(TextState& text, int x, int y, const std::string& sjis) {
    SetTextPos(text, x, y);
    PrintLine(text, sjis);
}

}  // namespace

const std::string (&NameCharacterTable(int index))[kNameTableSize] {
    static const std::array<Table, kNameTables> tables = [] {
        std::array<Table, kNameTables> t;
        fill(t[kNameHiragana], kHiragana);
        fill(t[kNameKatakana], kKatakana);
        fill(t[kNameLetters], kLetters);
        return t;
    }();
    return tables[static_cast<size_t>(wrap(index, kNameTables))];
}

void OpenNameWindow(NameWindow& w, S_Frame& nameFrame, WindowTable& windows, const std::string& resultName,
                    const std::string& defaultName, int maximum) {
    w.resultName = resultName;
    w.defaultName = defaultName;
    if (maximum != kArgAbsent) w.maxLength = std::clamp(maximum, 1, NameWindow::kSlots);
    // The table index keeps its value: the switch goes on from where it was.
    w.table = NameCharacterTable(kNameKatakana);
    w.position = 0;
    clearFrom(w, w.position);
    nameFrame.w = (w.maxLength + 2) * w.cell;
    nameFrame.h = 24;
    nameFrame.x = (NameWindow::kScreenWidth - nameFrame.w) / 2;
    nameFrame.y = 40;
    writeDefault(w);
    w.open = 1;
    windows.Activate(WND_NAME);
}

void NameWindowUpdate(NameWindow& w, WindowServices& s) {
    if (!w.open) return;
    Input& in = s.input;
    auto moved = [&] { PlayWindowSound(s.looks, s.audio, kSoundMove); };
    if (in.repeat(BTN_U)) w.row = wrap(w.row - 1, NameWindow::kRows), moved();
    if (in.repeat(BTN_D)) w.row = wrap(w.row + 1, NameWindow::kRows), moved();
    if (in.repeat(BTN_L)) {
        const int step = onButtonRow(w) && w.column >= 12 ? 2 : 1;
        w.column = wrap(w.column - step, NameWindow::kColumns);
        moved();
    }
    if (in.repeat(BTN_R)) {
        const int step = onButtonRow(w) && w.column >= 11 && w.column < 14 ? 2 : 1;
        w.column = wrap(w.column + step, NameWindow::kColumns);
        moved();
    }
    if (in.repeat(BTN_A)) {
        PlayWindowSound(s.looks, s.audio, kSoundEnter);
        if (onSwitch(w)) {
            w.tableIndex = wrap(w.tableIndex + 1, kNameTables);
            w.table = NameCharacterTable(w.tableIndex);
        } else if (onDecide(w)) {
            decide(w, s);
        } else {
            typeCharacter(w);
        }
    }
    if (w.open && in.repeat(BTN_B)) {
        PlayWindowSound(s.looks, s.audio, kSoundCancel);
        if (w.position > 0) w.slots[--w.position].clear();
        else writeDefault(w);
    }
    padClearPulses(in.pad());
}

void NameWindowDraw(NameWindow& w, S_Frame& tableFrame, S_Frame& nameFrame, WindowServices& s) {
    if (!w.open) return;
    TextState& text = s.text;
    text.pictures->SelectTarget(Pictures::kBackBufferSlot);
    tableFrame.Draw(text, s.looks.images);
    nameFrame.Draw(text, s.looks.images);
    const int left = tableFrame.x + 8, top = tableFrame.y + 8, cell = w.cell;
    const std::string& bar = sj("―");
    auto cellX = [&](int column) { return left + column * cell + column / NameWindow::kBlockColumns * 5; };
    for (int row = 0; row < NameWindow::kRows; ++row)
        for (int column = 0; column < NameWindow::kColumns; ++column) {
            const int entry = nameTableEntry(column, row);
            if (entry < kNameTableSize && w.table) print(text, cellX(column), top + row * cell, w.table[entry]);
        }
    static const char* const kSwitchLabels[kNameTables] = {"カナ", "英数", "かな"};
    print(text, left + 154, top + 5 * cell, sj(kSwitchLabels[wrap(w.tableIndex, kNameTables)]));
    print(text, left + 180, top + 5 * cell, sj("決定"));
    const int underY = top + w.row * cell + cell / 2;
    if (onSwitch(w) || onDecide(w)) {
        const int first = onSwitch(w) ? 11 : 13;
        print(text, cellX(first), underY, bar);
        print(text, cellX(first + 1), underY, bar);
    } else {
        print(text, cellX(w.column), underY, bar);
    }
    const int nameLeft = nameFrame.x + 8, nameTop = nameFrame.y + 6;
    const std::string& empty = sj("＊");
    for (int i = 0; i < w.maxLength; ++i)
        print(text, nameLeft + i * cell, nameTop, w.slots[i].empty() ? empty : w.slots[i]);
    print(text, nameLeft + w.position * cell, nameTop + cell / 2, bar);
}

}  // namespace qf
