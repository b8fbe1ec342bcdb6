#include "map/objects.h"

#include <gtest/gtest.h>

#include <string>

#include "map/land.h"
#include "map/map.h"
#include "platform/headless/headless_host.h"
#include "script/random.h"

namespace qf {
namespace {

// Columns: event id, -, -, x, y, image, move type, trigger, appear, vanish, start-up.
std::string row(int id, int x, int y, int image, int move, int trigger = 0, int appear = 0, int vanish = -1,
                int startUp = 0) {
    return std::to_string(id) + ",a,b," + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(image) +
           "," + std::to_string(move) + "," + std::to_string(trigger) + "," + std::to_string(appear) + "," +
           std::to_string(vanish) + "," + std::to_string(startUp) + "\r\n";
}

struct Layer {
    HeadlessHost host;
    MapObjects objects;
    LandGrid land;
    ScriptRandom random;
    int32_t flags[256] = {};

    // Without the final line break, which would add a row of its own.
    bool load(std::string text, int w = 10, int h = 10, const std::string& label = "") {
        if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
        return objects.Load(host, text, label, 5, w, h, flags);
    }
    void frames(int n, ObjectFrameInput in = {-100, -100}) {
        for (int i = 0; i < n; ++i) objects.Step(land, random, in);
    }
    MapObject& at(int id) { return *objects.At(id); }
};

TEST(Objects, LoadFillsRecordsGridAndAutomaticEvent) {
    Layer t;
    t.flags[3] = 1;
    t.flags[4] = 1;
    // Object 2 appears with flag 2 (0: absent); object 3 vanishes with flag 4;
    // objects 1 and 4 both start up automatically, the later one wins.
    ASSERT_TRUE(t.load(row(11, 2, 3, 7, 1, 9, 0, -1, 1) + row(12, 4, 4, 8, -1, 0, 2) + row(13, 5, 5, 1, 0, 0, 3, 4) +
                       row(14, 1, 1, 2, 0, 0, 3, -1, 1) + "15,,,40,40\r\n"));
    EXPECT_EQ(t.objects.count, 6);
    EXPECT_EQ(t.objects.sheet, 5);
    EXPECT_EQ(t.objects.visible, 1);
    const MapObject& o = t.at(1);
    EXPECT_EQ(o.eventId, 11);
    EXPECT_EQ(o.x, 2);
    EXPECT_EQ(o.y, 3);
    EXPECT_EQ(o.baseImage, 7);
    EXPECT_EQ(o.image, 7);
    EXPECT_EQ(o.moveType, 1);
    EXPECT_EQ(o.trigger, 9);
    EXPECT_EQ(o.startUp, 1);
    EXPECT_EQ(t.at(2).active, 0);
    EXPECT_EQ(t.at(3).active, 0);
    EXPECT_EQ(t.at(4).active, 1);
    EXPECT_EQ(t.objects.autoEvent, 14);
    EXPECT_EQ(t.objects.gridW, 13);
    EXPECT_EQ(t.objects.GridAt(2, 3), 1);
    EXPECT_EQ(t.objects.GridAt(4, 4), 2);  // inactive objects still hold their cell
    // The row placed beyond the grid is kept but not in the grid.
    EXPECT_EQ(t.at(5).x, 40);

    t.flags[2] = 1;
    t.flags[3] = 0;
    EXPECT_EQ(t.objects.Refresh(t.flags), 11);  // object 4's appear flag is off now
    EXPECT_EQ(t.at(2).active, 1);
    t.flags[3] = 1;
    EXPECT_EQ(t.objects.Refresh(t.flags), 14);
}

TEST(Objects, QueriesRememberTheCellAndSkipHiddenObjects) {
    Layer t;
    ASSERT_TRUE(t.load(row(7, 2, 2, 4, 0, 5) + row(8, 3, 2, 6, 0, 6)));
    ObjectQuery q = t.objects.Query(3, 2);
    EXPECT_TRUE(q.inside);
    EXPECT_EQ(q.id, 2);
    EXPECT_EQ(q.trigger, 6);
    EXPECT_EQ(t.objects.askedX, 3);
    EXPECT_EQ(t.objects.askedY, 2);
    EXPECT_FALSE(t.objects.Query(13, 0).inside);  // the grid is the map + 3
    EXPECT_EQ(t.objects.askedX, 3);               // an outside cell is not remembered
    EXPECT_TRUE(t.objects.Query(12, 12).inside);
    // A negative active value is present but hands no trigger.
    t.objects.Set(1, kNil, kNil, kNil, kNil, kNil, -1, kNil);
    q = t.objects.Query(2, 2);
    EXPECT_EQ(q.id, 1);
    EXPECT_EQ(q.trigger, 0);
    // Moving an object onto another's cell and away again leaves the other's entry alone.
    t.objects.Set(1, kNil, kNil, 3, 2, kNil, kNil, kNil);
    t.objects.Set(2, kNil, kNil, 5, 5, kNil, kNil, kNil);
    EXPECT_EQ(t.objects.GridAt(3, 2), 1);
    EXPECT_EQ(t.objects.GridAt(5, 5), 2);
    // Numbers outside the objects are ignored.
    t.objects.Set(3, 1, 1, 1, 1, 1, 1, kNil);
    t.objects.SetActive(-1, 0);
    t.objects.AddMove(99, 1);
    EXPECT_EQ(t.objects.GridAt(1, 1), 0);
}

TEST(Objects, QueueRunsFromItsEndOnePixelAFrame) {
    Layer t;
    ASSERT_TRUE(t.load(row(1, 4, 4, 2, -1)));
    t.objects.AddMove(1, 1);
    t.objects.AddMove(1, 4);
    t.frames(1);
    EXPECT_EQ(t.at(1).x, 5);  // right first
    EXPECT_EQ(t.at(1).y, 4);
    EXPECT_EQ(t.at(1).offsetX, -16);
    EXPECT_EQ(t.objects.GridAt(5, 4), 1);
    EXPECT_EQ(t.objects.GridAt(4, 4), 0);
    for (int f = 1; f < 16; ++f) {
        t.frames(1);
        EXPECT_EQ(t.at(1).offsetX, -16 + f);
        EXPECT_EQ(t.at(1).y, 4);
    }
    t.frames(1);  // the slide ends and the next move starts
    EXPECT_EQ(t.at(1).offsetX, 0);
    EXPECT_EQ(t.at(1).y, 3);
    EXPECT_EQ(t.at(1).offsetY, 16);
    t.frames(16);
    EXPECT_EQ(t.at(1).offsetY, 0);
    EXPECT_EQ(t.at(1).queueCount, 0);

    // Slow moves take a pixel every second frame; turns only turn.
    t.objects.AddMove(1, 11);
    t.objects.AddMove(1, 6);
    t.frames(1);
    EXPECT_EQ(t.at(1).y, 4);
    t.frames(2);
    EXPECT_EQ(t.at(1).offsetY, -15);
    t.frames(30);
    EXPECT_EQ(t.at(1).offsetY, 0);
    EXPECT_EQ(t.at(1).framesLeft, 0);
    t.frames(1);
    EXPECT_EQ(t.at(1).direction, 2);
    EXPECT_EQ(t.at(1).y, 4);
    for (int i = 0; i < 20; ++i) t.objects.AddMove(1, 0);
    EXPECT_EQ(t.at(1).queueCount, 16);
}

TEST(Objects, WanderersKeepOffThePlayerTheAskedCellWallsAndEachOther) {
    Layer t;
    // A 5 × 3 field of open land inside a ring of walls.
    S_Map2 map;
    ASSERT_TRUE(map.Reset(7, 5));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            if (x == 0 || y == 0 || x == 6 || y == 4) map.SetCell(1, x, y);
    ASSERT_TRUE(t.land.LoadTable("chip,land\r\n0,0\r\n1,1\r\n"));
    t.land.Build(map, 1);
    ASSERT_TRUE(t.load(row(1, 1, 1, 1, 1) + row(2, 5, 3, 1, 1) + row(3, 5, 1, 1, 1), 7, 5));
    t.random.seed(7);
    t.objects.Query(2, 2);
    const ObjectFrameInput player{3, 2};
    int moves = 0;
    int lastX[4] = {0, 1, 5, 5}, lastY[4] = {0, 1, 3, 1};
    for (int f = 0; f < 5000; ++f) {
        t.objects.Step(t.land, t.random, player);
        for (int id = 1; id <= 3; ++id) {
            const MapObject& o = t.at(id);
            ASSERT_TRUE(o.x >= 1 && o.x <= 5 && o.y >= 1 && o.y <= 3) << "frame " << f;
            ASSERT_FALSE(o.x == 3 && o.y == 2) << "frame " << f;
            ASSERT_FALSE(o.x == 2 && o.y == 2) << "frame " << f;
            ASSERT_EQ(t.objects.GridAt(o.x, o.y), id);
            if (o.x != lastX[id] || o.y != lastY[id]) ++moves;
            lastX[id] = o.x;
            lastY[id] = o.y;
        }
    }
    EXPECT_GT(moves, 50);
}

TEST(Objects, PassesPauseAndStopHaltsWanderingAndAnimationOnly) {
    Layer t;
    ASSERT_TRUE(t.load(row(1, 5, 5, 10, 1) + row(2, 1, 1, 20, 0) + row(3, 8, 8, 30, -1)));
    t.random.seed(1);
    // Frame 1 tries object 0 (none), frame 2 steps object 1, which then slides
    // 16 frames; objects 2 and 3 follow, and the cursor waits 90 - 4 frames.
    t.frames(2);
    const int x = t.at(1).x, y = t.at(1).y;
    EXPECT_EQ(std::abs(x - 5) + std::abs(y - 5), 1);
    EXPECT_EQ(t.objects.walkerBusy, 1);
    t.frames(15);
    EXPECT_EQ(t.objects.walkerBusy, 1);  // still sliding in: nobody else walks
    EXPECT_EQ(t.objects.cursor, 2);
    t.frames(2);
    EXPECT_EQ(t.objects.cursor, 4 - MapObjects::kWalkPause);
    t.frames(85);
    EXPECT_EQ(t.at(1).x, x);
    EXPECT_EQ(t.at(1).y, y);
    EXPECT_EQ(t.objects.cursor, -1);
    t.frames(3);  // object 0, then object 1 again
    EXPECT_EQ(std::abs(t.at(1).x - x) + std::abs(t.at(1).y - y), 1);

    // The animation: image base + 1, base, base + 1 … every 16 frames for
    // move types >= 0; still objects never change.
    Layer a;
    ASSERT_TRUE(a.load(row(1, 1, 1, 20, 0) + row(2, 3, 3, 30, -1)));
    a.frames(15);
    EXPECT_EQ(a.at(1).image, 20);
    a.frames(1);
    EXPECT_EQ(a.at(1).image, 21);
    a.frames(16);
    EXPECT_EQ(a.at(1).image, 20);
    EXPECT_EQ(a.at(2).image, 30);

    a.objects.stopped = 1;
    a.objects.AddMove(1, 2);
    a.frames(40);
    EXPECT_EQ(a.at(1).image, 20);
    EXPECT_EQ(a.at(1).y, 2);
    EXPECT_EQ(a.at(1).offsetY, 0);
}

TEST(Objects, ScrollKeepsPixelsWithinACellAndConsumesKeys) {
    Layer t;
    ASSERT_TRUE(t.load(row(1, 1, 1, 1, -1)));
    t.objects.CentreOn(3, 2, 320, 240);
    EXPECT_EQ(t.objects.originX, 320 / 16 / 2 - 3 - 1);
    EXPECT_EQ(t.objects.originY, 240 / 16 / 2 - 2 - 1);
    const int ox = t.objects.originX, oy = t.objects.originY;
    t.objects.StartScroll(3, -5, 7);
    t.objects.StartScroll(1, 1, 100);  // ignored while scrolling
    bool consumed = true;
    for (int f = 0; f < 7; ++f) consumed = consumed && t.objects.Step(t.land, t.random, {});
    EXPECT_TRUE(consumed);
    EXPECT_EQ(t.objects.scrollFrames, 0);
    EXPECT_EQ(t.objects.vecX, 0);
    // 21 pixels right is one cell and 5; 35 up is two cells and 3 pixels short of a third.
    EXPECT_EQ(t.objects.originX, ox - 1);
    EXPECT_EQ(t.objects.scrollX, 5);
    EXPECT_EQ(t.objects.originY, oy + 3);
    EXPECT_EQ(t.objects.scrollY, 13);
    EXPECT_FALSE(t.objects.Step(t.land, t.random, {}));
}

}  // namespace
}  // namespace qf
