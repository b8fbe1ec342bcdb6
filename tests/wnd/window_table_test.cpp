#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/engine.h"
#include "app/game.h"
#include "platform/headless/headless_host.h"

namespace qf {
namespace {

std::vector<int> orderOf(const WindowTable& t) {
    std::vector<int> ids;
    for (int p = 0; p < t.Count(); ++p) ids.push_back(t.OrderAt(p));
    return ids;
}

TEST(WindowTable, StartupWindowsHaveTheirIdsAndTheInterpreterHasTheFocus) {
    HeadlessHost host;
    Engine e(host);
    RegisterStartupWindows(e);
    const char* names[] = {"WND_DRV", "WND_PLN", "WND_SPR", "WND_MAP", "WND_OBJ", "WND_CLP", "WND_EFX",
                           "WND_MSG", "WND_LOG", "WND_SEL", "WND_NAME", "WND_NUM", "WND_REC", "WND_FLG"};
    ASSERT_EQ(e.windows.Count(), 14);
    for (int id = 0; id < 14; ++id) EXPECT_EQ(e.windows.name[id], names[id]);
    EXPECT_EQ(e.windows.FocusWindow(), WND_DRV);
    EXPECT_EQ(e.windows.takesFocus[WND_PLN], 0);
    EXPECT_EQ(e.windows.takesFocus[WND_MAP], 1);
    EXPECT_EQ(e.windows.OrderAt(32), -1);
}

TEST(WindowTable, ActivateDeactivateAndAlwaysInFront) {
    WindowTable t;
    for (int i = 0; i < 6; ++i) t.Register(nullptr, nullptr, "W" + std::to_string(i), i % 2 == 0 ? 1 : 0);
    EXPECT_EQ(orderOf(t), (std::vector<int>{0, 1, 2, 3, 4, 5}));

    t.Activate(4);
    EXPECT_EQ(orderOf(t), (std::vector<int>{4, 0, 1, 2, 3, 5}));
    EXPECT_EQ(t.FocusWindow(), 4);
    t.Activate(4);  // already in front: unchanged
    EXPECT_EQ(orderOf(t), (std::vector<int>{4, 0, 1, 2, 3, 5}));

    // Two always-in-front windows: the lower id ends in front after any activation.
    t.SetAlwaysInFront(5, 1);
    t.SetAlwaysInFront(3, 1);
    t.Activate(2);
    EXPECT_EQ(orderOf(t), (std::vector<int>{3, 5, 2, 4, 0, 1}));
    t.Activate(0);
    EXPECT_EQ(orderOf(t), (std::vector<int>{3, 5, 0, 2, 4, 1}));

    // Deactivating sends a window to the back; out-of-range ids are ignored.
    t.SetAlwaysInFront(3, 0);
    t.SetAlwaysInFront(5, 0);
    t.Deactivate(3);
    EXPECT_EQ(orderOf(t), (std::vector<int>{5, 0, 2, 4, 1, 3}));
    EXPECT_EQ(t.Deactivate(-1), 0);
    EXPECT_EQ(t.Deactivate(32), 0);
    EXPECT_EQ(t.Activate(32), 0);
    EXPECT_EQ(orderOf(t), (std::vector<int>{5, 0, 2, 4, 1, 3}));

    // Registration stops at 32 windows.
    WindowTable full;
    for (int i = 0; i < 32; ++i) EXPECT_EQ(full.Register(nullptr, nullptr, "W", 0), i);
    EXPECT_EQ(full.Register(nullptr, nullptr, "W", 0), -1);
}

TEST(WindowTable, OnlyTheFocusWindowUpdatesAndClosingAWindowResumesTheScript) {
    HeadlessHost host;
    Engine e(host);
    RegisterStartupWindows(e);
    std::string ran;
    e.windows.update[WND_DRV] = [&] { ran += "D"; };
    e.windows.update[WND_MSG] = [&] { ran += "M"; };
    e.windows.preUpdate = [&] { ran += "p"; };
    e.windows.UpdateFrame();
    e.windows.Activate(WND_MSG);
    e.windows.UpdateFrame();
    e.windows.Deactivate(WND_MSG);  // the message window closes
    e.windows.UpdateFrame();
    EXPECT_EQ(ran, "pDpMpD");
    // The map takes focus but has no update: nothing updates.
    ran.clear();
    e.windows.Activate(WND_MAP);
    e.windows.UpdateFrame();
    EXPECT_EQ(ran, "p");
}

TEST(WindowTable, DrawOrderIsBackToFrontWithTheLayersBetweenWindows) {
    HeadlessHost host;
    Engine e(host);
    RegisterStartupWindows(e);
    std::vector<std::string> drawn;
    for (int id = 0; id < e.windows.Count(); ++id)
        e.windows.draw[id] = [&](int which) { drawn.push_back(e.windows.name[which]); };
    e.windows.drawAfterPlanes = [&] { drawn.push_back("sprites 256..319, gauges"); };
    e.windows.drawAfterSprites = [&] { drawn.push_back("map foreground"); };
    e.windows.drawAfterAll = [&] { drawn.push_back("sprites 320..327"); };
    e.windows.Activate(WND_SEL);
    e.windows.DrawFrame();
    std::vector<std::string> expected = {"WND_FLG", "WND_REC", "WND_NUM", "WND_NAME", "WND_LOG", "WND_MSG",
                                         "WND_EFX", "WND_CLP", "WND_OBJ", "WND_MAP", "WND_SPR", "map foreground",
                                         "WND_PLN", "sprites 256..319, gauges", "WND_DRV", "WND_SEL",
                                         "sprites 320..327"};
    EXPECT_EQ(drawn, expected);
}

}  // namespace
}  // namespace qf
