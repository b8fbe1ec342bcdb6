// The eight frame timers: slot 0 the tick of the frame, slot 1 the frame
// count, slots 2..7 count down once per frame. In millisecond wait mode slot 7
// also loses the milliseconds elapsed since the previous frame.
#pragma once

#include <cstdint>

namespace qf {

struct FrameTimers {
    static constexpr int kSlots = 8;
    uint32_t slot[kSlots] = {};
    int waitMode = 0;          // 0 frames, 1 milliseconds
    uint32_t waitReference = 0;

    void set(int index, uint32_t value) {
        if (index >= 0 && index < kSlots) slot[index] = value;
    }
    uint32_t get(int index) const { return index >= 0 && index < kSlots ? slot[index] : 0; }
    void setWaitMode(int mode, uint32_t now) {
        waitMode = mode;
        waitReference = now;
    }
    void tick(uint32_t now) {
        slot[0] = now;
        slot[1] += 1;
        for (int i = 2; i < kSlots; ++i) slot[i] -= 1;
        if (waitMode == 1) {
            slot[7] -= now - waitReference + 1;
            waitReference = now;
        }
    }
};

}  // namespace qf
