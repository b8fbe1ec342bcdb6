#include <gtest/gtest.h>

#include "platform/headless/headless_host.h"
#include "platform/input_script.h"

namespace qf {
namespace {

TEST(InputScript, ParsesEveryEventKind) {
    InputScript s;
    std::string error;
    const char* text =
        "# a comment\n"
        "12 key down A\r\n"
        "14 key up a   # trailing comment\n"
        "20 tap OEM_1\n"
        "30 mouse move 100 40\n"
        "31 mouse down left\n"
        "32 wheel -120\n"
        "40 focus off\n"
        "@2000 focus on\n"
        "50 joy axis 0 65535\n"
        "51 joy button 3 down\n"
        "52 key down 0x5A\n"
        "53 key down 90\n"
        "54 key down F12\n"
        "\n";
    ASSERT_TRUE(parseInputScript(text, s, error)) << error;
    ASSERT_EQ(s.frameEvents.size(), 13u);
    ASSERT_EQ(s.timeEvents.size(), 1u);
    using K = InputEvent::Kind;
    EXPECT_EQ(s.frameEvents[0].kind, K::KeyDown);
    EXPECT_EQ(s.frameEvents[0].a, 'A');
    EXPECT_EQ(s.frameEvents[1].a, 'A');
    // A tap is down on its frame and up on the next.
    EXPECT_EQ(s.frameEvents[2].kind, K::KeyDown);
    EXPECT_EQ(s.frameEvents[2].a, vk::OEM_1);
    EXPECT_EQ(s.frameEvents[3].kind, K::KeyUp);
    EXPECT_EQ(s.frameEvents[3].when, 21u);
    EXPECT_EQ(s.frameEvents[4].a, 100);
    EXPECT_EQ(s.frameEvents[4].b, 40);
    EXPECT_EQ(s.frameEvents[5].a, vk::LBUTTON);
    EXPECT_EQ(s.frameEvents[6].a, -120);
    EXPECT_EQ(s.timeEvents[0].kind, K::FocusOn);
    EXPECT_EQ(s.timeEvents[0].when, 2000u);
    EXPECT_EQ(s.frameEvents[10].a, 0x5A);
    EXPECT_EQ(s.frameEvents[11].a, 90);
    EXPECT_EQ(s.frameEvents[12].a, vk::F1 + 11);
}

TEST(InputScript, BadLinesNameTheLineAndTheProblem) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"0 key down A\n", "line 1: bad frame number"},
        {"\nx key down A\n", "line 2: bad frame number"},
        {"3 key down NOSUCHKEY\n", "unknown key"},
        {"3 key sideways A\n", "'down' or 'up'"},
        {"3 mouse move 1\n", "mouse move X Y"},
        {"3 mouse down thumb\n", "unknown mouse button"},
        {"3 joy axis 2 5\n", "joy axis"},
        {"3 joy axis 0 70000\n", "joy axis"},
        {"3 focus maybe\n", "focus on|off"},
        {"3 dance\n", "unknown event"},
        {"3\n", "missing event"},
        {"@x focus on\n", "bad time"},
    };
    for (const Case& c : cases) {
        InputScript s;
        std::string error;
        EXPECT_FALSE(parseInputScript(c.text, s, error)) << c.text;
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.text << " gave: " << error;
    }
    InputScript s;
    std::string error;
    EXPECT_FALSE(loadInputScript("/nonexistent/input.txt", s, error));
    EXPECT_NE(error.find("cannot read"), std::string::npos);
}

TEST(HeadlessHost, KeysReportHeldAndToggleBitsAndModifiersFollowTheirSides) {
    HeadlessHost h;
    EXPECT_EQ(h.keyState('A'), 0);
    h.setKey('A', true);
    EXPECT_LT(h.keyState('A'), 0);
    EXPECT_EQ(h.keyState('A') & 1, 1);
    h.setKey('A', false);
    EXPECT_EQ(h.keyState('A'), 1);  // released, toggled once
    h.setKey('A', true);
    h.setKey('A', false);
    EXPECT_EQ(h.keyState('A'), 0);
    h.setKey(vk::LSHIFT, true);
    EXPECT_LT(h.keyState(vk::SHIFT), 0);
    h.setKey(vk::LSHIFT, false);
    EXPECT_GE(h.keyState(vk::SHIFT), 0);
    EXPECT_EQ(h.keyState(300), 0);
    // The wheel accumulates until taken.
    h.addWheel(120);
    h.addWheel(120);
    EXPECT_EQ(h.takeWheelDelta(), 240);
    EXPECT_EQ(h.takeWheelDelta(), 0);
    // One joystick is attached, resting at the centre.
    EXPECT_TRUE(h.joystick().present);
    EXPECT_EQ(h.joystick().x, 32767u);
    EXPECT_EQ(h.joystick().buttons, 0u);
}

TEST(HeadlessHost, VirtualClockMovesOnlyBySleepsAndBlanks) {
    HeadlessHost h;
    EXPECT_EQ(h.tickMs(), 0u);
    h.sleepMs(5);
    EXPECT_EQ(h.tickMs(), 5u);
    h.setRefreshRate(60);
    h.waitForVerticalBlank();
    EXPECT_EQ(h.clockMicroseconds(), 16667u);
    h.waitForVerticalBlank();
    EXPECT_EQ(h.clockMicroseconds(), 33334u);
    EXPECT_EQ(h.verticalBlankWaits(), 2u);
}

}  // namespace
}  // namespace qf
