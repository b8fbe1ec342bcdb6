// One frame of the object layer, in this order: sliding, wandering, the
// walking animation, queued moves, scrolling.
#include <algorithm>

#include "gfx/sprite_math.h"
#include "map/land.h"
#include "map/objects.h"
#include "script/random.h"

namespace qf {

namespace {

constexpr int kStepX[4] = {0, 0, -1, 1};  // up, down, left, right
constexpr int kStepY[4] = {-1, 1, 0, 0};

int towardZero(int v) { return v > 0 ? v - 1 : v < 0 ? v + 1 : 0; }

}  // namespace

bool MapObjects::Step(const LandGrid& land, ScriptRandom& random, const ObjectFrameInput& in) {
    if (!visible || !loaded()) return false;
    slide();
    if (!stopped) {
        wander(land, random, in);
        animate();
    }
    runQueues();
    return scroll();
}

void MapObjects::slide() {
    for (int id = 1; id < count; ++id) {
        MapObject& o = objects[static_cast<size_t>(id)];
        bool move = true;
        if (o.framesLeft > 0) {
            o.period = std::max(o.period, 1);
            --o.framesLeft;
            move = o.framesLeft % o.period == 0;
        }
        if (move) {
            o.offsetX = towardZero(o.offsetX);
            o.offsetY = towardZero(o.offsetY);
        }
    }
}

void MapObjects::wander(const LandGrid& land, ScriptRandom& random, const ObjectFrameInput& in) {
    if (walkerBusy) {
        const MapObject* w = At(walker);
        if (w && (w->offsetX != 0 || w->offsetY != 0)) return;
        walkerBusy = 0;
    }
    if (cursor < 0) {
        ++cursor;
        return;
    }
    if (cursor < count && tryStep(cursor, land, random, in)) walkerBusy = 1;
    walker = cursor;
    if (++cursor >= count) cursor = std::min(count - kWalkPause, 0);
}

bool MapObjects::tryStep(int id, const LandGrid& land, ScriptRandom& random, const ObjectFrameInput& in) {
    MapObject& o = objects[static_cast<size_t>(id)];
    if (o.active != 1 || o.moveType != 1) return false;
    o.direction = random.next() % 4;
    const long long nx = static_cast<long long>(o.x) + kStepX[o.direction];
    const long long ny = static_cast<long long>(o.y) + kStepY[o.direction];
    if (nx < 0 || ny < 0 || nx >= gridW || ny >= gridH) return false;
    const int tx = static_cast<int>(nx), ty = static_cast<int>(ny);
    if (land.At(tx, ty) >= 1 || GridAt(tx, ty) != 0) return false;
    if (tx == in.playerX && ty == in.playerY) return false;
    if (tx == askedX && ty == askedY) return false;
    moveBy(id, kStepX[o.direction], kStepY[o.direction]);
    return true;
}

void MapObjects::moveBy(int id, int dx, int dy) {
    MapObject& o = objects[static_cast<size_t>(id)];
    Leave(id);
    o.x = wrapAdd(o.x, dx);
    o.y = wrapAdd(o.y, dy);
    Enter(id);
    o.offsetX = -dx * cell;
    o.offsetY = -dy * cell;
}

void MapObjects::animate() {
    if (++animationTimer < kAnimationFrames) return;
    animationTimer = 0;
    animationStep = -animationStep;
    for (int id = 1; id < count; ++id) {
        MapObject& o = objects[static_cast<size_t>(id)];
        if (o.moveType >= 0) o.image = wrapAdd(o.image, animationStep);
    }
}

void MapObjects::runQueues() {
    for (int id = 1; id < count; ++id) {
        MapObject& o = objects[static_cast<size_t>(id)];
        if (o.queueCount <= 0 || o.framesLeft > 0) continue;
        const int move = o.queue[--o.queueCount];
        if (move >= 1 && move <= 8) {
            const int d = (move - 1) % 4;
            o.period = move <= 4 ? 1 : 2;
            moveBy(id, kStepX[d], kStepY[d]);
            o.framesLeft = o.period * cell;
        } else if (move >= 9 && move <= 12) {
            o.direction = move - 9;
        }
    }
}

bool MapObjects::scroll() {
    if (scrollFrames <= 0) return false;
    scrollX = wrapAdd(scrollX, vecX);
    scrollY = wrapAdd(scrollY, vecY);
    if (--scrollFrames == 0) vecX = vecY = 0;
    const int c = std::max(cell, 1);
    // Whole cells move into the origin so that the pixel scroll stays within one cell.
    originX = wrapAdd(originX, -int64_t(scrollX / c));
    scrollX %= c;
    if (scrollX < 0) {
        scrollX += c;
        originX = wrapAdd(originX, 1);
    }
    originY = wrapAdd(originY, -int64_t(scrollY / c));
    scrollY %= c;
    if (scrollY < 0) {
        scrollY += c;
        originY = wrapAdd(originY, 1);
    }
    return true;
}

}  // namespace qf
