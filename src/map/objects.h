// The layer of map objects: characters and event spots loaded from a table,
// each standing on a map cell, kept in a grid of ids so that a cell can be
// asked for its object. Object 0 is the empty slot; ids run 1..count - 1.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qf {

class Host;
class ScriptRandom;
struct LandGrid;

struct MapObject {
    static constexpr int kQueueSize = 16;

    int x = 0, y = 0;
    int direction = 0;    // 0 up, 1 down, 2 left, 3 right
    int baseImage = 0;
    int image = 0;        // chip drawn; <= 0 draws nothing
    int eventId = 0;
    int moveType = 0;     // 1 wanders; >= 0 animates; < 0 still
    int trigger = 0;
    int appearFlag = 0;
    int vanishFlag = 0;
    int startUp = 0;
    int active = 0;
    int offsetX = 0, offsetY = 0;
    int queue[kQueueSize] = {};
    int queueCount = 0;
    int period = 1;
    int framesLeft = 0;
};

// What "#evtIsObj" found.
struct ObjectQuery {
    bool inside = false;   // the cell lies in the grid and objects are loaded
    int id = 0;            // 0: no (active) object there
    int trigger = 0, eventId = 0, baseImage = 0, startUp = 0;
};

// The per-frame inputs that come from outside the layer.
struct ObjectFrameInput {
    int playerX = 0, playerY = 0;  // the cell the view centres on
};

struct MapObjects {
    static constexpr int kMaxObjects = 256;
    static constexpr int kWalkPause = 90;
    static constexpr int kAnimationFrames = 16;
    static constexpr int kGridMargin = 3;

    std::vector<MapObject> objects;  // index = id; empty until loaded
    int count = 0;                   // table rows + 1
    int sheet = 0;                   // picture slot of the object sheet
    int cell = 16;
    int wrap = 1;
    int screenX = 0, screenY = 0;
    int originX = 0, originY = 0;    // view origin cells
    int scrollX = 0, scrollY = 0;    // pixel scroll within one cell
    int gridW = 0, gridH = 0;        // map size + 3 each way
    std::vector<int> grid;           // ids, 0 = empty
    int visible = 0;
    int stopped = 0;
    int cursor = 0;
    int walker = 0;
    int walkerBusy = 0;
    int animationStep = -1;
    int animationTimer = 0;
    int vecX = 0, vecY = 0;
    int scrollFrames = 0;
    int askedX = -1, askedY = -1;
    int autoEvent = 0;               // `_nAutoEvt`

    bool loaded() const { return count > 0 && !grid.empty(); }
    bool Valid(int id) const { return id >= 0 && id < count; }
    MapObject* At(int id) { return Valid(id) ? &objects[static_cast<size_t>(id)] : nullptr; }
    bool InGrid(int x, int y) const { return x >= 0 && y >= 0 && x < gridW && y < gridH; }
    // 0 outside the grid.
    int GridAt(int x, int y) const;

    // Fills the objects from the table's text: the whole table, or the section
    // after `label` when it is not empty. Too many rows: a message box, and the
    // layer is left empty. `flags` are the 256 game flags.
    bool Load(Host& host, const std::string& text, const std::string& label, int picture,
              int mapW, int mapH, const int32_t* flags);
    // A new map size: the grid is rebuilt and every object entered again.
    void ResizeGrid(int mapW, int mapH);
    // Cell size, wrap and screen position from the map's set-up.
    void SetView(int cellSize, int wrapSetting, int x, int y);
    // The view origin for a map centred on (x, y) on a screen of the given size.
    void CentreOn(int x, int y, int screenW, int screenH);

    // Appear and vanish flags, then the automatic event; returns `_nAutoEvt`.
    int Refresh(const int32_t* flags);
    ObjectQuery Query(int x, int y);
    void StartScroll(int dx, int dy, int frames);
    void AddMove(int id, int move);
    void SetActive(int id, int flag);
    // Each value applies unless it is `absent`.
    void Set(int id, int image, int direction, int x, int y, int moveType, int active, int absent);
    void SetImage(int id, int image, int startUp, bool startUpGiven);

    // One frame: sliding, wandering, the walking animation, queued moves and
    // scrolling. True when the player's keys are to be consumed.
    bool Step(const LandGrid& land, ScriptRandom& random, const ObjectFrameInput& in);

    // Grid bookkeeping.
    void Enter(int id);
    void Leave(int id);

private:
    void slide();
    void wander(const LandGrid& land, ScriptRandom& random, const ObjectFrameInput& in);
    bool tryStep(int id, const LandGrid& land, ScriptRandom& random, const ObjectFrameInput& in);
    void animate();
    void runQueues();
    bool scroll();
    void moveBy(int id, int dx, int dy);
};

}  // namespace qf
