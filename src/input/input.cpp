#include "input/input.h"

#include "app/engine.h"
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

void InputInit(Engine& e) {
    for (const char* name : {"_mouseX", "_mouseY", "_mouseL", "_mouseR", "_mouseM", "_mouseWheel", "_mouseLclick", "_mouseRclick"})
        e.vars.valSetInt(name, 0);
    mouseRememberToggles(e.input.mouse, e.host);
}

void PadDefaults(Engine& e) { e.input.Defaults(); }

void PadPoll(Engine& e) {
    Input& in = e.input;
    in.PollPad(e.host.tickMs());
    e.vars.valSetInt("_keypad", in.PressMask());
    e.vars.valSetInt("_keypadSt", in.HeldMask());
    e.vars.valSetInt("_keypadSg", in.RepeatMask());
    e.vars.valSetInt("_keypadOs", in.FirstMask());
}

void MousePoll(Engine& e) {
    Mouse& m = e.input.mouse;
    mousePoll(m, e.host, e.display.width, e.display.height);
    e.vars.valSetInt("_mouseX", m.x);
    e.vars.valSetInt("_mouseY", m.y);
    e.vars.valSetInt("_mouseL", m.left);
    e.vars.valSetInt("_mouseR", m.right);
    e.vars.valSetInt("_mouseM", m.middle);
    e.vars.valSetInt("_mouseWheel", m.wheel);
    e.vars.valSetInt("_mouseLclick", m.leftClick);
    // Left alone between clicks: the script sees the last value until it changes it.
    if (m.rightClickEvent != 0) e.vars.valSetInt("_mouseRclick", m.rightClickEvent);
}

void PadEndFrame(Engine& e) { e.input.EndFrame(); }

void WheelSet(Engine& e, int delta) { mouseWheelSet(e.input.mouse, delta); }

int MouseX(const Engine& e) { return e.input.mouse.x; }
int MouseY(const Engine& e) { return e.input.mouse.y; }
int MouseWheel(const Engine& e) { return e.input.mouse.wheel; }

int MouseIn(const Engine& e, int x, int y, int w, int h) { return mouseIn(e.input.mouse, x, y, w, h, e.display.zoom); }

int MouseClicked(Engine& e, int button) { return mouseClicked(e.input.mouse, e.host, button); }

int keyPressPulses(Engine& e) { return e.input.PressMask(); }

bool keysHeld(Engine& e) { return e.input.Count(1) > 0; }

}  // namespace qf
