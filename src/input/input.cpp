#include "input/input.h"

#include "script/variables.h"

namespace qf {

namespace {

// The host offers one joystick, as device 0.
constexpr int kJoystickDevices = 1;

}  // namespace

Input::Input(Host& h) : host(h) {
    for (Pad& p : pads) padSetDefaultKeys(p);
}

void Input::Defaults() {
    for (int i = 0; i < kPadCount; ++i) pads[i].joystick = i < kJoystickDevices ? i : -1;
    padSetSecondPlayerKeys(pads[1]);
    current = 0;
}

void Input::PollPad(uint32_t now) {
    padReadDevices(pad(), host);
    padStepRepeat(pad(), now);
}

void Input::Select(int n) {
    if (n >= 0 && n < kPadCount) current = n;
}

void Input::SetKey(int button, int code) {
    if (!valid(button) || code == Variables::kNil) return;
    pad().key[button] = code;
}

int Input::Count(int which) const { return padCountSet(which == 0 ? pad().press : pad().held); }

void Input::ShowCursor(int n) {
    cursorCount += n != 0 ? 1 : -1;
    host.showCursor(cursorCount >= 0);
}

void inputInit(Input& in, Variables& vars) {
    for (const char* name : {"_mouseX", "_mouseY", "_mouseL", "_mouseR", "_mouseM", "_mouseWheel", "_mouseLclick", "_mouseRclick"})
        vars.valSetInt(name, 0);
    mouseRememberToggles(in.mouse, in.host);
}

void padPollFrame(Input& in, Variables& vars) {
    in.PollPad(in.host.tickMs());
    vars.valSetInt("_keypad", in.PressMask());
    vars.valSetInt("_keypadSt", in.HeldMask());
    vars.valSetInt("_keypadSg", in.RepeatMask());
    vars.valSetInt("_keypadOs", in.FirstMask());
}

void mousePollFrame(Input& in, Variables& vars, int screenWidth, int screenHeight) {
    Mouse& m = in.mouse;
    mousePoll(m, in.host, screenWidth, screenHeight);
    vars.valSetInt("_mouseX", m.x);
    vars.valSetInt("_mouseY", m.y);
    vars.valSetInt("_mouseL", m.left);
    vars.valSetInt("_mouseR", m.right);
    vars.valSetInt("_mouseM", m.middle);
    vars.valSetInt("_mouseWheel", m.wheel);
    vars.valSetInt("_mouseLclick", m.leftClick);
    // Left alone between clicks: the script sees the last value until it changes it.
    if (m.rightClickEvent != 0) vars.valSetInt("_mouseRclick", m.rightClickEvent);
}

}  // namespace qf
