#include "input/pad.h"

namespace qf {

void padSetDefaultKeys(Pad& pad) {
    static constexpr int kKeys[kPadButtons] = {'E', 'D', 'S', 'F', 'K', 'J', vk::LSHIFT, vk::SPACE, 'I', 'U', 'L', vk::OEM_1};
    for (int b = 0; b < kPadButtons; ++b) pad.key[b] = kKeys[b];
}

void padSetSecondPlayerKeys(Pad& pad) {
    static constexpr int kKeys[8] = {'G', 'V', 'C', 'B', 'M', 'N', 'Z', 'X'};
    for (int b = 0; b < 8; ++b) pad.key[b] = kKeys[b];
}

void padReadDevices(Pad& pad, HostInput& host) {
    for (int b = 0; b < kPadButtons; ++b) {
        const int code = pad.key[b];
        // A code outside the keyboard table drives nothing.
        pad.held[b] = code >= 0 && code < 256 && host.keyState(code) < 0 ? 1 : 0;
    }
    if (pad.joystick < 0) return;
    // A host without a controller reports the resting position, which holds nothing.
    const JoystickState j = host.joystick();
    if (j.x < 32767) pad.held[BTN_L] = 1;
    if (j.x > 32767) pad.held[BTN_R] = 1;
    if (j.y < 32767) pad.held[BTN_U] = 1;
    if (j.y > 32767) pad.held[BTN_D] = 1;
    static constexpr int kJoyButtons[8] = {BTN_A, BTN_B, BTN_X, BTN_Y, BTN_L1, BTN_R1, BTN_SEL, BTN_ST};
    for (int i = 0; i < 8; ++i)
        if (j.buttons & (1u << i)) pad.held[kJoyButtons[i]] = 1;
}

void padStepRepeat(Pad& pad, uint32_t now) {
    bool anyHeld = false;
    for (int b = 0; b < kPadButtons; ++b) {
        if (pad.held[b] != pad.previousHeld[b]) pad.repeatState = 0;
        pad.previousHeld[b] = pad.held[b];
        anyHeld = anyHeld || pad.held[b];
    }
    if (!anyHeld) {
        pad.repeatState = 0;
        return;
    }
    pad.elapsed += static_cast<int>(now - pad.lastTick);
    pad.lastTick = now;
    bool fire = false;
    switch (pad.repeatState) {
        case 0:
            for (int b = 0; b < kPadButtons; ++b) pad.first[b] = pad.held[b];
            pad.elapsed = 0;
            pad.repeatState = 1;
            fire = true;
            break;
        case 1:
            if (pad.elapsed > pad.repeatDelay) {
                pad.elapsed = 0;
                pad.repeatState = 2;
                fire = true;
            }
            break;
        default:
            if (pad.elapsed > pad.repeatInterval) {
                pad.elapsed = 0;
                fire = true;
            }
            break;
    }
    if (fire)
        for (int b = 0; b < kPadButtons; ++b) {
            pad.press[b] = pad.held[b];
            pad.repeat[b] = pad.held[b];
        }
    // The directions pulse on every frame while anything is held.
    for (int b : {BTN_U, BTN_D, BTN_L, BTN_R}) pad.press[b] = pad.held[b];
}

void padClearPulses(Pad& pad) {
    for (int b = 0; b < kPadButtons; ++b) {
        pad.press[b] = 0;
        pad.repeat[b] = 0;
        pad.first[b] = 0;
    }
}

int padMask(const int (&values)[kPadButtons]) {
    int mask = 0;
    for (int b = 0; b < kPadButtons; ++b)
        if (values[b]) mask |= 1 << b;
    return mask;
}

int padCountSet(const int (&values)[kPadButtons]) {
    int n = 0;
    for (int v : values) n += v ? 1 : 0;
    return n;
}

}  // namespace qf
