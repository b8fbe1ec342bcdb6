// Keyboard, joystick and mouse state as the scripts see it: four pads (one
// current), the mouse, and the cursor display count of "#mouseIcon".
#pragma once

#include <cstdint>

#include "input/mouse.h"
#include "input/pad.h"
#include "platform/host.h"

namespace qf {

class Variables;

struct Input {
    Host& host;
    Pad pads[kPadCount];
    int current = 0;
    Mouse mouse;
    int cursorCount = 0;  // the cursor shows while this is 0 or above

    explicit Input(Host& h);

    Pad& pad() { return pads[current]; }
    const Pad& pad() const { return pads[current]; }

    // Start-up: the joysticks and the second player's keys.
    void Defaults();
    void PollPad(uint32_t now);
    // Every pad, not only the current one: a pad selected away in this frame
    // would otherwise keep its pulses until it is selected again.
    void EndFrame() {
        for (Pad& p : pads) padClearPulses(p);
    }
    // Other pad numbers are ignored.
    void Select(int n);
    // Ignored for a button outside 0..11 and for the code _NIL.
    void SetKey(int button, int code);

    int press(int b) const { return valid(b) ? pad().press[b] : 0; }
    int held(int b) const { return valid(b) ? pad().held[b] : 0; }
    int repeat(int b) const { return valid(b) ? pad().repeat[b] : 0; }
    int first(int b) const { return valid(b) ? pad().first[b] : 0; }
    // 0: buttons with a press pulse; 1: buttons held.
    int Count(int which) const;
    int PressMask() const { return padMask(pad().press); }
    int HeldMask() const { return padMask(pad().held); }
    int RepeatMask() const { return padMask(pad().repeat); }
    int FirstMask() const { return padMask(pad().first); }

    // ShowCursor: non-zero raises the display count, 0 lowers it.
    void ShowCursor(int n);

private:
    static bool valid(int b) { return b >= 0 && b < kPadButtons; }
};

// The frame's input steps, publishing the script variables.
void inputInit(Input& in, Variables& vars);
void padPollFrame(Input& in, Variables& vars);
void mousePollFrame(Input& in, Variables& vars, int screenWidth, int screenHeight);

}  // namespace qf
