// The timed input events of a headless run, one per line: "WHEN EVENT ARGS".
// WHEN is a frame number (the event applies at the start of that frame) or
// "@MS", a time on the virtual clock.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qf {

struct InputEvent {
    enum class Kind { KeyDown, KeyUp, MouseMove, MouseDown, MouseUp, Wheel, FocusOff, FocusOn, JoyAxis, JoyButtonDown, JoyButtonUp };
    Kind kind = Kind::KeyDown;
    bool atTime = false;   // false: `when` is a frame number; true: milliseconds
    uint64_t when = 0;
    int a = 0, b = 0;      // key / button / x, y / axis, value / delta
    int line = 0;          // source line, for messages
};

struct InputScript {
    std::vector<InputEvent> frameEvents;  // sorted by frame, stable
    std::vector<InputEvent> timeEvents;   // sorted by time, stable
};

// Parses an input script; on a bad line returns false with "line N: …" in error.
bool parseInputScript(std::string_view text, InputScript& out, std::string& error);
bool loadInputScript(const std::string& path, InputScript& out, std::string& error);

// Virtual-key code for a name ("A", "RETURN", "F1", "OEM_1", "0x5A", "90"), or -1.
int virtualKeyFromName(std::string_view name);

}  // namespace qf
