#include "wnd/number_window.h"

#include <algorithm>
#include <cstdint>

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

// The value clamped to the window's range, into the digits. Digits above the
// last place stay together in the last one, so the digits always add up to
// the value.
void splitValue(NumberWindow& w) {
    const int64_t v = std::clamp<int64_t>(w.value, w.minimum, std::max(w.minimum, w.maximum));
    w.value = static_cast<int>(v);
    int64_t rest = v;
    for (int i = 0; i < NumberWindow::kMaxDigits; ++i) {
        if (i == w.digitCount - 1) {
            w.digits[i] = static_cast<int>(rest);
            rest = 0;
        } else if (i < w.digitCount) {
            w.digits[i] = static_cast<int>(rest % 10);
            rest /= 10;
        } else {
            w.digits[i] = 0;
        }
    }
}

int64_t joinDigits(const NumberWindow& w) {
    int64_t v = 0, place = 1;
    for (int i = 0; i < w.digitCount; ++i, place *= 10) v += w.digits[i] * place;
    return v;
}

int highestNonZero(const NumberWindow& w) {
    for (int i = w.digitCount - 1; i >= 0; --i)
        if (w.digits[i] != 0) return i;
    return -1;
}

void close(NumberWindow& w, WindowTable& windows) {
    w.open = 0;
    windows.Deactivate(WND_NUM);
}

}  // namespace

void OpenNumberWindow(NumberWindow& w, WindowTable& windows, int value, int minimum, int maximum, int digitCount) {
    if (value != kArgAbsent) w.value = value;
    if (minimum != kArgAbsent) w.minimum = minimum;
    if (maximum != kArgAbsent) w.maximum = maximum;
    if (digitCount != kArgAbsent) w.digitCount = digitCount;
    w.digitCount = std::clamp(w.digitCount, 1, NumberWindow::kMaxDigits);
    w.cursor = std::clamp(w.cursor, 0, w.digitCount - 1);
    splitValue(w);
    w.open = 1;
    windows.Activate(WND_NUM);
}

void NumberWindowUpdate(NumberWindow& w, WindowServices& s) {
    if (!w.open) return;
    Input& in = s.input;
    const int n = w.digitCount;
    if (in.repeat(BTN_L)) w.cursor = (w.cursor + 1) % n;
    if (in.repeat(BTN_R)) w.cursor = (w.cursor + n - 1) % n;
    int& digit = w.digits[w.cursor];
    if (in.repeat(BTN_U)) digit = (digit + 1) % 10;
    if (in.repeat(BTN_D)) {
        if (digit - 1 >= 0) {
            --digit;
        } else if (w.cursor > highestNonZero(w)) {
            // A leading zero below 0: the whole value becomes 0.
            for (int& d : w.digits) d = 0;
        } else {
            digit = 9;
        }
    }
    if (in.repeat(BTN_A) || in.first(BTN_X) || in.first(BTN_L1)) {
        w.value = static_cast<int>(std::clamp<int64_t>(joinDigits(w), INT32_MIN, INT32_MAX));
        splitValue(w);
        s.vars.valSetInt("_stat", w.value);
        close(w, s.windows);
    } else if (in.repeat(BTN_B)) {
        close(w, s.windows);
    }
    w.value = static_cast<int>(std::clamp<int64_t>(joinDigits(w), INT32_MIN, INT32_MAX));
    splitValue(w);
    padClearPulses(in.pad());
}

void NumberWindowDraw(NumberWindow& w, S_Frame& frame, WindowServices& s) {
    if (!w.open) return;
    TextState& text = s.text;
    text.pictures->SelectTarget(Pictures::kBackBufferSlot);
    frame.Draw(text, s.looks.images);
    const int line = FontHeight(text) + text.lineSpacing;
    const int y = frame.y + w.margin;
    for (int i = 0; i < w.digitCount; ++i) {
        const int x = frame.x + frame.w - w.margin - (i + 1) * line;
        SetTextPos(text, x, y);
        PrintNumber(text, w.digits[i], 1);
        if (i == w.cursor) {
            SetTextPos(text, x - line / 3, y + line / 2);
            PrintLine(text, sj("―"));
        }
    }
}

}  // namespace qf
