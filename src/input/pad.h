// The twelve-button virtual pad: which keys drive it, what is held, and the
// press, repeat and first-press pulses of the key repeat.
#pragma once

#include <cstdint>

#include "platform/host.h"

namespace qf {

constexpr int kPadButtons = 12;
constexpr int kPadCount = 4;

// Button numbers; button b is bit b of the published masks.
enum PadButton {
    BTN_U = 0, BTN_D, BTN_L, BTN_R, BTN_A, BTN_B, BTN_SEL, BTN_ST, BTN_X, BTN_Y, BTN_L1, BTN_R1,
};

struct Pad {
    int press[kPadButtons] = {};   // press pulse with key repeat: _keypad
    int held[kPadButtons] = {};    // _keypadSt
    int repeat[kPadButtons] = {};  // repeat pulse: _keypadSg
    int first[kPadButtons] = {};   // first-press pulse: _keypadOs
    int key[kPadButtons] = {};     // virtual-key code driving each button
    int previousHeld[kPadButtons] = {};
    int repeatDelay = 220;         // ms before the first repeat
    int repeatInterval = 50;       // ms between repeats
    int repeatState = 0;           // 0 idle, 1 waiting for the first repeat, 2 repeating
    int elapsed = 0;               // ms accumulated in the repeat state
    uint32_t lastTick = 0;         // tick of the previous poll while a button was held
    int joystick = -1;             // joystick device, or -1
};

// The keys every pad starts with.
void padSetDefaultKeys(Pad& pad);
// The second player's keys set at start-up (X, Y, L1 and R1 stay as they are).
void padSetSecondPlayerKeys(Pad& pad);

// Held state from the keyboard and, when the pad has one, the joystick.
void padReadDevices(Pad& pad, HostInput& host);
// The key repeat for the held state just read, at tick `now`.
void padStepRepeat(Pad& pad, uint32_t now);
// End of the input frame: the pulses last one frame.
void padClearPulses(Pad& pad);

// Sum of values[b] << b over the buttons.
int padMask(const int (&values)[kPadButtons]);
int padCountSet(const int (&values)[kPadButtons]);

}  // namespace qf
