// The number window ("WND_NUM"): a number of up to five digits, edited digit
// by digit with the pad and kept within a minimum and a maximum. Deciding
// writes the number into `_stat`; B closes the window without an answer.
#pragma once

namespace qf {

struct S_Frame;
struct WindowServices;
struct WindowTable;

struct NumberWindow {
    static constexpr int kMaxDigits = 5;

    int margin = 3;
    int value = 0;
    int minimum = 0, maximum = 255;
    int digitCount = 5;            // 1..5
    int digits[kMaxDigits] = {};   // units first
    int cursor = 0;                // the digit edited, 0 = units
    int open = 0;
};

// Each argument applies when it is not _NIL.
void OpenNumberWindow(NumberWindow& w, WindowTable& windows, int value, int minimum, int maximum, int digitCount);
void NumberWindowUpdate(NumberWindow& w, WindowServices& s);
// Into the back buffer, when open.
void NumberWindowDraw(NumberWindow& w, S_Frame& frame, WindowServices& s);

}  // namespace qf
