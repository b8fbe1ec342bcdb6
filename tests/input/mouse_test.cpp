#include <gtest/gtest.h>

#include "app/engine.h"
#include "input/input.h"
#include "input/input_panels.h"
#include "platform/headless/headless_host.h"
#include "platform/sjis.h"

namespace qf {
namespace {

struct Rig {
    HeadlessHost host;
    Engine e{host};
    Rig() { inputInit(e.input, e.vars); }
    int var(const char* name) { return e.vars.valGetInt(e.vars.valFind(name)); }
    void frame() { mousePollFrame(e.input, e.vars, e.display.width, e.display.height); }
};

TEST(Mouse, DoubleClickWindowOpensForThirtyFramesAndClosesOnTheSecondPress) {
    Rig r;
    r.host.setCursor(100, 100);
    r.host.setKey(vk::LBUTTON, true);
    r.frame();
    EXPECT_EQ(r.var("_mouseLclick"), 1);
    r.frame();  // still held: counted once
    EXPECT_EQ(r.var("_mouseLclick"), 0);
    r.host.setKey(vk::LBUTTON, false);
    for (int i = 0; i < 27; ++i) r.frame();
    // 19 pixels away, 29 frames after the first click: a double click.
    r.host.setCursor(119, 81);
    r.host.setKey(vk::LBUTTON, true);
    r.frame();
    EXPECT_EQ(r.var("_mouseLclick"), 2);
    r.host.setKey(vk::LBUTTON, false);
    r.frame();
    r.host.setKey(vk::LBUTTON, true);
    r.frame();
    EXPECT_EQ(r.var("_mouseLclick"), 1);  // the double click closed the window
    r.host.setKey(vk::LBUTTON, false);
    for (int i = 0; i < 29; ++i) r.frame();
    r.host.setKey(vk::LBUTTON, true);
    r.frame();
    EXPECT_EQ(r.var("_mouseLclick"), 1);  // 30 frames later the window is shut
    r.host.setKey(vk::LBUTTON, false);
    r.frame();
    r.host.setCursor(139, 81);  // 20 pixels: too far for a double click
    r.host.setKey(vk::LBUTTON, true);
    r.frame();
    EXPECT_EQ(r.var("_mouseLclick"), 0);
    // Long idle stretches leave the window shut, not counting on without end.
    r.host.setKey(vk::LBUTTON, false);
    for (int i = 0; i < 1000; ++i) r.frame();
    EXPECT_EQ(r.e.input.mouse.clickCountdown, 0);
}

TEST(Mouse, RightClickWheelAndPosition) {
    Rig r;
    r.host.setCursor(511, 0);
    r.frame();
    EXPECT_EQ(r.var("_mouseX"), 511);
    EXPECT_EQ(r.var("_mouseY"), 0);
    r.e.display.CreateScreen(320, 240);  // the limit follows the screen size
    r.host.setCursor(639, 480);
    r.frame();
    EXPECT_EQ(r.var("_mouseX"), 639);
    EXPECT_EQ(r.var("_mouseY"), -1);
    auto panel = mousePanelText(r.e.input);
    EXPECT_EQ(panel.lines, (std::vector<std::string>{sj("マウス"), "639", "-1"}));

    r.host.setKey(vk::RBUTTON, true);
    r.frame();
    EXPECT_EQ(r.var("_mouseRclick"), -1);
    EXPECT_LT(r.var("_mouseR"), 0);
    r.host.setKey(vk::RBUTTON, false);
    r.frame();
    EXPECT_EQ(r.var("_mouseRclick"), 1);
    r.e.vars.valSetInt("_mouseRclick", 7);
    r.frame();
    EXPECT_EQ(r.var("_mouseRclick"), 7);  // the script's own value stays

    r.host.addWheel(120);
    r.host.addWheel(120);
    r.frame();
    EXPECT_EQ(r.var("_mouseWheel"), -240);
    r.frame();
    EXPECT_EQ(r.var("_mouseWheel"), 0);
    mouseWheelSet(r.e.input.mouse, 5);
    r.frame();
    EXPECT_EQ(r.e.input.mouse.wheel, 5);
}

TEST(Mouse, InsideRectangleAtTheZoomAndClickedOncePerPress) {
    Rig r;
    r.host.setCursor(20, 40);
    r.frame();
    EXPECT_EQ(mouseIn(r.e.input.mouse, 10, 20, 5, 5, r.e.display.zoom), 1);
    EXPECT_EQ(mouseIn(r.e.input.mouse, 5, 20, 5, 5, r.e.display.zoom), 0);  // right edge excluded
    EXPECT_EQ(mouseIn(r.e.input.mouse, 10, 21, 5, 5, r.e.display.zoom), 0);
    r.e.display.zoom = 100;
    EXPECT_EQ(mouseIn(r.e.input.mouse, 10, 20, 5, 5, r.e.display.zoom), 0);
    EXPECT_EQ(mouseIn(r.e.input.mouse, 20, 40, 1, 1, r.e.display.zoom), 1);

    EXPECT_EQ(mouseClicked(r.e.input.mouse, r.e.host, 0), 0);
    r.host.setKey(vk::LBUTTON, true);
    EXPECT_EQ(mouseClicked(r.e.input.mouse, r.e.host, 0), 1);
    EXPECT_EQ(mouseClicked(r.e.input.mouse, r.e.host, 0), 0);
    EXPECT_EQ(mouseClicked(r.e.input.mouse, r.e.host, 1), 0);
    r.host.setKey(vk::LBUTTON, false);
    r.host.setKey(vk::LBUTTON, true);
    EXPECT_EQ(mouseClicked(r.e.input.mouse, r.e.host, 0), 1);
    r.host.setKey(vk::MBUTTON, true);
    EXPECT_EQ(mouseClicked(r.e.input.mouse, r.e.host, 2), 1);
    EXPECT_EQ(mouseClicked(r.e.input.mouse, r.e.host, 2), 1);
    EXPECT_EQ(mouseClicked(r.e.input.mouse, r.e.host, 3), 0);
}

TEST(Mouse, CursorDisplayCount) {
    Rig r;
    Input& in = r.e.input;
    in.ShowCursor(0);
    in.ShowCursor(0);
    EXPECT_EQ(in.cursorCount, -2);
    in.ShowCursor(1);
    EXPECT_EQ(in.cursorCount, -1);
    in.ShowCursor(5);
    EXPECT_EQ(in.cursorCount, 0);
}

}  // namespace
}  // namespace qf
