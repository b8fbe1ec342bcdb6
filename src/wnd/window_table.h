// The window table: every per-frame activity that can take the player's
// attention or draw a layer is a window. The front-most window that takes
// focus gets the frame's update; all windows draw back to front.
#pragma once

#include <functional>
#include <string>

namespace qf {

// Fixed ids of the windows registered at start-up.
enum WindowId {
    WND_DRV = 0, WND_PLN, WND_SPR, WND_MAP, WND_OBJ, WND_CLP, WND_EFX,
    WND_MSG, WND_LOG, WND_SEL, WND_NAME, WND_NUM, WND_REC, WND_FLG,
    kStartupWindowCount
};

struct WindowTable {
    static constexpr int kCapacity = 32;
    using Update = std::function<void()>;
    using Draw = std::function<void(int id)>;

    Update update[kCapacity];
    Draw draw[kCapacity];
    std::string name[kCapacity];  // Shift-JIS
    int takesFocus[kCapacity] = {};
    int alwaysInFront[kCapacity] = {};
    int order[kCapacity] = {};    // position 0 = front
    int count = 0;

    // Layers drawn between windows: after "WND_PLN" the low sprites and the
    // gauges, after "WND_SPR" the map foreground, after all windows the top sprites.
    std::function<void()> drawAfterPlanes, drawAfterSprites, drawAfterAll;
    // Map and object steps that run before the focus window's update.
    std::function<void()> preUpdate;

    int Register(Update onUpdate, Draw onDraw, const std::string& windowName, int focus);
    int Activate(int id);
    int Deactivate(int id);
    void SetAlwaysInFront(int id, int flag);
    int FocusWindow() const;
    int Count() const { return count; }
    int OrderAt(int position) const;

    // The per-frame steps.
    void UpdateFrame();
    void DrawFrame();

private:
    int positionOf(int id) const;
    void moveToFront(int id);
};

}  // namespace qf
