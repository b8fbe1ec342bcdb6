// The name window ("WND_NAME"): a name typed from a grid of 15 × 6 cells in
// three blocks of five columns, holding one of three character tables
// (hiragana, katakana, letters), with a switch and a decide button. The name
// goes into the result variable when decided.
#pragma once

#include <string>

namespace qf {

struct S_Frame;
struct WindowServices;
struct WindowTable;

constexpr int kNameTableSize = 85;
constexpr int kNameTables = 3;
enum NameTable { kNameHiragana = 0, kNameKatakana = 1, kNameLetters = 2 };

// Table `index` (0..2): 85 Shift-JIS characters of two bytes each.
const std::string (&NameCharacterTable(int index))[kNameTableSize];

struct NameWindow {
    static constexpr int kSlots = 16;
    static constexpr int kColumns = 15, kRows = 6, kBlockColumns = 5;
    static constexpr int kScreenWidth = 256;

    int cell = 10;
    int maxLength = 6;           // 1..16
    std::string slots[kSlots];   // one character each, empty when free
    int position = 0;            // the slot typed next
    int column = 0, row = 0;
    int tableIndex = kNameKatakana;
    const std::string* table = nullptr;  // the working table (85 entries)
    std::string resultName;
    std::string defaultName;
    int open = 0;
};

// Table entry of a grid cell; 85 and above are cells without a character.
inline int nameTableEntry(int column, int row) {
    return ((column / NameWindow::kBlockColumns) * NameWindow::kRows + row) * NameWindow::kBlockColumns +
           column % NameWindow::kBlockColumns;
}

// `maximum` applies when it is not _NIL (capped at 16, at least 1). The two
// frames are the table frame and the name frame; the name frame is placed
// here.
void OpenNameWindow(NameWindow& w, S_Frame& nameFrame, WindowTable& windows, const std::string& resultName,
                    const std::string& defaultName, int maximum);
void NameWindowUpdate(NameWindow& w, WindowServices& s);
// Into the back buffer, when open.
void NameWindowDraw(NameWindow& w, S_Frame& tableFrame, S_Frame& nameFrame, WindowServices& s);

}  // namespace qf
