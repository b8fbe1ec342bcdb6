// What the selection, number, name and record windows use of the engine
// while they run: the pad and mouse, the text output, the window table, the
// frame looks with the window sounds, the sound players, the script
// variables and the display zoom.
#pragma once

namespace qf {

class Audio;
struct Display;
struct Input;
struct TextState;
struct WindowLooks;
struct WindowTable;
class Variables;

struct WindowServices {
    Input& input;
    TextState& text;
    WindowTable& windows;
    WindowLooks& looks;
    Audio& audio;
    Variables& vars;
    const Display& display;
};

}  // namespace qf
