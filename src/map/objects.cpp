// Loading the object table, the grid of ids and the changes scripts make.
#include "map/objects.h"

#include <algorithm>

#include "map/map.h"
#include "platform/report.h"
#include "platform/sjis.h"
#include "script/tables.h"

namespace qf {

namespace {

int cellInt(const Table& t, int column, int row) {
    return truncInt(t.Cell(column, row).num());
}

int flagValue(const int32_t* flags, int n) { return flags && n >= 0 && n < 256 ? flags[n] : 0; }

}  // namespace

int MapObjects::GridAt(int x, int y) const {
    return InGrid(x, y) ? grid[static_cast<size_t>(y) * static_cast<size_t>(gridW) + static_cast<size_t>(x)] : 0;
}

void MapObjects::Enter(int id) {
    const MapObject& o = objects[static_cast<size_t>(id)];
    if (InGrid(o.x, o.y)) grid[static_cast<size_t>(o.y) * static_cast<size_t>(gridW) + static_cast<size_t>(o.x)] = id;
}

void MapObjects::Leave(int id) {
    const MapObject& o = objects[static_cast<size_t>(id)];
    if (!InGrid(o.x, o.y)) return;
    int& slot = grid[static_cast<size_t>(o.y) * static_cast<size_t>(gridW) + static_cast<size_t>(o.x)];
    if (slot == id) slot = 0;
}

bool MapObjects::Load(Host& host, const std::string& text, const std::string& label, int picture,
                      int mapW, int mapH, const int32_t* flags) {
    Table table;
    const bool read = label.empty() ? table.Load(text, 0, -1) : table.LoadLabel(host, text, label);
    if (!read) return false;
    if (table.rowCount + 1 > kMaxObjects) {
        dialog(host, sj("オブジェ数が最大数に達しました"));
        objects.clear();
        grid.clear();
        count = 0;
        autoEvent = 0;
        return false;
    }
    sheet = picture;
    count = table.rowCount + 1;
    objects.assign(static_cast<size_t>(count), MapObject{});
    for (int r = 0; r < table.rowCount; ++r) {
        MapObject& o = objects[static_cast<size_t>(r) + 1];
        o.eventId = cellInt(table, 0, r);
        o.x = cellInt(table, 3, r);
        o.y = cellInt(table, 4, r);
        o.baseImage = o.image = cellInt(table, 5, r);
        o.moveType = cellInt(table, 6, r);
        o.trigger = cellInt(table, 7, r);
        o.appearFlag = cellInt(table, 8, r);
        o.vanishFlag = cellInt(table, 9, r);
        o.startUp = cellInt(table, 10, r);
        o.active = 1;
    }
    Refresh(flags);
    cursor = walker = walkerBusy = 0;
    animationStep = -1;
    animationTimer = 0;
    ResizeGrid(mapW, mapH);
    visible = 1;
    return true;
}

void MapObjects::ResizeGrid(int mapW, int mapH) {
    gridW = std::max(mapW, 0) + kGridMargin;
    gridH = std::max(mapH, 0) + kGridMargin;
    grid.assign(static_cast<size_t>(gridW) * static_cast<size_t>(gridH), 0);
    for (int id = 1; id < count; ++id) Enter(id);
}

void MapObjects::SetView(int cellSize, int wrapSetting, int x, int y) {
    if (cellSize > 0 && cellSize <= kMaxChipSize) cell = cellSize;
    wrap = wrapSetting;
    screenX = x;
    screenY = y;
}

void MapObjects::CentreOn(int x, int y, int screenW, int screenH) {
    const int c = std::max(cell, 1);
    originX = static_cast<int>(static_cast<int64_t>(screenW / c) / 2 - x - 1);
    originY = static_cast<int>(static_cast<int64_t>(screenH / c) / 2 - y - 1);
}

int MapObjects::Refresh(const int32_t* flags) {
    for (int id = 1; id < count; ++id) {
        MapObject& o = objects[static_cast<size_t>(id)];
        if (o.appearFlag > 0) o.active = flagValue(flags, o.appearFlag);
        if (o.vanishFlag >= 0 && flagValue(flags, o.vanishFlag) == 1) o.active = 0;
    }
    autoEvent = 0;
    for (int id = 1; id < count; ++id) {
        const MapObject& o = objects[static_cast<size_t>(id)];
        if (o.startUp == 1 && o.active == 1) autoEvent = o.eventId;
    }
    return autoEvent;
}

ObjectQuery MapObjects::Query(int x, int y) {
    ObjectQuery q;
    if (!loaded() || count <= 1 || !InGrid(x, y)) return q;
    q.inside = true;
    askedX = x;
    askedY = y;
    const int id = GridAt(x, y);
    if (id <= 0 || id >= count || objects[static_cast<size_t>(id)].active == 0) return q;
    const MapObject& o = objects[static_cast<size_t>(id)];
    q.id = id;
    q.trigger = o.active < 0 ? 0 : o.trigger;
    q.eventId = o.eventId;
    q.baseImage = o.baseImage;
    q.startUp = o.startUp;
    return q;
}

void MapObjects::StartScroll(int dx, int dy, int frames) {
    if (scrollFrames > 0) return;
    vecX = dx;
    vecY = dy;
    scrollFrames = std::max(frames, 0);
}

void MapObjects::AddMove(int id, int move) {
    MapObject* o = id > 0 ? At(id) : nullptr;
    if (!o || o->queueCount >= MapObject::kQueueSize) return;
    o->queue[o->queueCount++] = move;
}

void MapObjects::SetActive(int id, int flag) {
    MapObject* o = At(id);
    if (!o) return;
    o->active = flag;
    if (id > 0 && InGrid(o->x, o->y)) Leave(id);
}

void MapObjects::Set(int id, int image, int direction, int x, int y, int moveType, int active, int absent) {
    MapObject* o = At(id);
    if (!o || id == 0) return;
    Leave(id);
    if (image != absent) o->baseImage = o->image = image;
    if (direction != absent) o->direction = direction;
    if (x != absent) o->x = x;
    if (y != absent) o->y = y;
    if (moveType != absent) o->moveType = moveType;
    if (active != absent) o->active = active;
    o->offsetX = o->offsetY = 0;
    Enter(id);
}

void MapObjects::SetImage(int id, int image, int startUp, bool startUpGiven) {
    MapObject* o = id > 0 ? At(id) : nullptr;
    if (!o) return;
    o->baseImage = o->image = image;
    if (startUpGiven) o->startUp = startUp;
}

}  // namespace qf
