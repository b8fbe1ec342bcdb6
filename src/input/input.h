// Keyboard, joystick and mouse state as the scripts see it.
#pragma once

#include "platform/host.h"

namespace qf {

struct Input {
    Host& host;
    int wheelDelta = 0;  // this frame's wheel movement, sign as the scripts see it

    explicit Input(Host& h) : host(h) {}

    void Init() {}
    // Keyboard, joystick and key configuration; then the mouse.
    void Poll() { wheelDelta = -host.takeWheelDelta(); }
    void EndFrame() {}
    void Defaults() {}
};

}  // namespace qf
