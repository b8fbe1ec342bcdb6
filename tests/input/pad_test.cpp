#include <gtest/gtest.h>

#include "app/engine.h"
#include "input/input.h"
#include "input/input_panels.h"
#include "input/key_config.h"
#include "platform/headless/headless_host.h"

namespace qf {
namespace {

constexpr int U = 1, R = 8, A = 16;

// One input frame at clock time `ms`: poll, read the masks, end the frame.
struct Pads {
    HeadlessHost host;
    Input input{host};
    struct Frame {
        int press, held, repeat, first;
    };
    Frame at(uint32_t ms) {
        host.sleepMs(ms - host.tickMs());
        input.PollPad(host.tickMs());
        Frame f{input.PressMask(), input.HeldMask(), input.RepeatMask(), input.FirstMask()};
        input.EndFrame();
        return f;
    }
};

TEST(PadRepeat, FirstPressThenMoreThanTheDelayThenMoreThanTheInterval) {
    Pads p;
    p.host.setKey('K', true);
    auto f = p.at(1000);
    EXPECT_EQ(f.press, A);
    EXPECT_EQ(f.repeat, A);
    EXPECT_EQ(f.first, A);
    f = p.at(1007);  // uneven frame lengths add up
    EXPECT_EQ(f.press | f.repeat | f.first, 0);
    EXPECT_EQ(f.held, A);
    EXPECT_EQ(p.at(1220).press, 0);  // exactly 220 ms is not enough
    f = p.at(1221);
    EXPECT_EQ(f.press, A);
    EXPECT_EQ(f.repeat, A);
    EXPECT_EQ(f.first, 0);
    EXPECT_EQ(p.at(1271).press, 0);  // exactly 50 ms
    EXPECT_EQ(p.at(1272).repeat, A);
    EXPECT_EQ(p.at(1300).press, 0);
    EXPECT_EQ(p.at(1323).press, A);

    // Released and pressed again: a fresh first press, however long it was idle.
    p.host.setKey('K', false);
    EXPECT_EQ(p.at(1340).held, 0);
    p.host.setKey('K', true);
    f = p.at(5000);
    EXPECT_EQ(f.first, A);
    EXPECT_EQ(p.at(5100).press, 0);
}

TEST(PadRepeat, DirectionsPulseWhileHeldAndAnyChangeRestartsTheDelay) {
    Pads p;
    p.host.setKey('F', true);
    EXPECT_EQ(p.at(100).repeat, R);
    for (uint32_t t = 116; t < 300; t += 16) {
        auto f = p.at(t);
        EXPECT_EQ(f.press, R) << t;
        EXPECT_EQ(f.repeat, 0) << t;
    }
    p.host.setKey('K', true);
    auto f = p.at(316);
    EXPECT_EQ(f.first, R | A);  // the first-press pulse covers everything held
    EXPECT_EQ(f.press, R | A);
    EXPECT_EQ(p.at(500).press, R);  // 184 ms since A came: right still pulses, A waits
    p.host.setKey('K', false);
    f = p.at(520);
    EXPECT_EQ(f.repeat, R);
    EXPECT_EQ(f.first, R);
    EXPECT_EQ(p.at(740).repeat, 0);
    EXPECT_EQ(p.at(741).repeat, R);
}

TEST(PadConfig, KeysJoystickAndSelection) {
    HeadlessHost host;
    Input in(host);
    EXPECT_EQ(in.pads[2].key[BTN_SEL], vk::LSHIFT);
    EXPECT_EQ(in.pads[3].key[BTN_R1], vk::OEM_1);

    in.SetKey(BTN_A, 'Z');
    in.SetKey(BTN_B, Variables::kNil);
    in.SetKey(12, 'Q');
    in.SetKey(-1, 'Q');
    EXPECT_EQ(in.pads[0].key[BTN_A], 'Z');
    EXPECT_EQ(in.pads[0].key[BTN_B], 'J');
    EXPECT_EQ(in.pads[1].key[BTN_A], 'K');  // only the current pad changes

    in.SetKey(BTN_X, 300);  // outside the keyboard: never held
    host.setKey(300 & 0xFF, true);
    in.PollPad(0);
    EXPECT_EQ(in.HeldMask(), 0);

    in.Select(2);
    in.Select(4);
    in.Select(-1);
    EXPECT_EQ(in.current, 2);
    in.Defaults();
    EXPECT_EQ(in.current, 0);
    EXPECT_EQ(in.pads[0].joystick, 0);
    EXPECT_EQ(in.pads[1].joystick, -1);
    EXPECT_EQ(in.pads[1].key[BTN_U], 'G');
    EXPECT_EQ(in.pads[1].key[BTN_ST], 'X');
    EXPECT_EQ(in.pads[1].key[BTN_X], 'I');

    // Only a pad with a joystick reads it; the centre 32767 holds nothing.
    host.setJoystick({true, 32767, 32768, 1u << 7});
    in.PollPad(10);
    EXPECT_EQ(in.HeldMask(), 2 | 128);
    EXPECT_EQ(in.Count(1), 2);
    EXPECT_EQ(in.Count(0), 2);
    in.Select(1);
    in.PollPad(20);
    EXPECT_EQ(in.HeldMask(), 0);

    const char* names[kPadButtons] = {"_KEY_U", "_KEY_D", "_KEY_L", "_KEY_R", "_KEY_A", "_KEY_B",
                                      "_KEY_SEL", "_KEY_ST", "_KEY_X", "_KEY_Y", "_KEY_L1", "_KEY_R1"};
    for (int b = 0; b < kPadButtons; ++b) EXPECT_EQ(keyConfigButton(names[b], 1 << b), b);
    EXPECT_EQ(keyConfigButton("_KEY_SEL", 3), BTN_SEL);
    EXPECT_EQ(keyConfigButton("", 11), 11);
    EXPECT_EQ(keyConfigButton("k", 0), 0);
    EXPECT_EQ(keyConfigButton("_KEY_Q", 16), -1);  // a constant's value is no button number
    EXPECT_EQ(keyConfigButton("", 12), -1);
    EXPECT_EQ(keyConfigButton("", -1), -1);
    EXPECT_EQ(keyConfigButton("", Variables::kNil), -1);
}

TEST(PadEngine, PollPublishesTheMasksAndTheLinksReadTheCurrentPad) {
    HeadlessHost host;
    Engine e(host);
    inputInit(e.input, e.vars);
    e.input.Defaults();
    EXPECT_EQ(e.vars.valGetInt(e.vars.valFind("_mouseRclick")), 0);
    host.setKey('E', true);
    host.setKey('K', true);
    padPollFrame(e.input, e.vars);
    EXPECT_EQ(e.vars.valGetInt(e.vars.valFind("_keypad")), U | A);
    EXPECT_EQ(e.vars.valGetInt(e.vars.valFind("_keypadOs")), U | A);
    EXPECT_EQ(e.input.PressMask(), U | A);
    auto columns = padPanelText(e.input);
    ASSERT_EQ(columns.size(), 4u);
    EXPECT_EQ(columns[3].x, 240);
    EXPECT_EQ(columns[3].lines[BTN_A], "1");
    EXPECT_EQ(columns[1].lines[BTN_B], "0");
    // A pad selected away in the frame of its press keeps no pulse for later.
    e.input.Select(1);
    e.input.EndFrame();
    e.input.Select(0);
    EXPECT_EQ(e.input.PressMask(), 0);
    EXPECT_TRUE((e.input.Count(1) > 0));
    host.setKey('E', false);
    host.setKey('K', false);
    host.sleepMs(16);
    padPollFrame(e.input, e.vars);
    EXPECT_FALSE((e.input.Count(1) > 0));
    EXPECT_EQ(e.vars.valGetInt(e.vars.valFind("_keypadSt")), 0);
}

}  // namespace
}  // namespace qf
