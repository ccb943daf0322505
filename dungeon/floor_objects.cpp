#include "dungeon/floor_objects.h"
#include "engine/math.h"

#include <cmath>

#include "adventurers/adventurers.h"
#include "dungeon/field_frame.h"
#include "engine/overlay_screen.h"
#include "engine/random.h"
#include "engine/sound.h"
#include "field/field_state.h"
#include "platform/log.h"


FloorObject gFloorObjects[FLOOR_OBJECT_MAX];
SwitchRegistry gSwitchRegistry = {{-1, -1}, 0, {}, 0};

// Rows 7 and 9 to 22 belong to kinds nothing places; they stay empty and
// indestructible.
const FloorObjectKindRow FLOOR_OBJECT_KINDS[FLOOR_OBJECT_KIND_COUNT] = {
    {0, 0, -1, {3.0f, 10.0f, 1.0f}, {1, 1, 1}},    // 0 tree
    {0, 1, -1, {2.0f, 2.0f, 0.5f}, {0, 1, 1}},     // 1 tree
    {0, 2, -1, {1.0f, 10.0f, 0.0f}, {1, 1, 1}},    // 2 grass
    {0, 3, -1, {1.0f, 10.0f, 0.0f}, {1, 1, 1}},    // 3 grass
    {1, 2, 1, {5.0f, 6.0f, 0.0f}, {1, 1, 1}},      // 4 treasure chest
    {1, 2, 1, {5.0f, 6.0f, 0.0f}, {1, 1, 1}},      // 5 trap chest, the same look
    {1, 3, 1, {4.0f, 6.0f, 0.0f}, {1, 1, 1}},      // 6 return gate
    {0, 0, -1, {0.0f, 0.0f, 0.0f}, {0, 0, 0}},     // 7
    {-1, 0, 5, {0.3f, 2.0f, 0.0f}, {1, 1, 1}},     // 8 magic circle: a turning disc
    {0, 0, -1, {0.0f, 0.0f, 0.0f}, {0, 0, 0}},     // 9..22
    {0, 0, -1, {0.0f, 0.0f, 0.0f}, {0, 0, 0}},
    {0, 0, -1, {0.0f, 0.0f, 0.0f}, {0, 0, 0}},
    {0, 0, -1, {0.0f, 0.0f, 0.0f}, {0, 0, 0}},
    {0, 0, -1, {0.0f, 0.0f, 0.0f}, {0, 0, 0}},
    {0, 0, -1, {0.0f, 0.0f, 0.0f}, {0, 0, 0}},
    {0, 0, -1, {0.0f, 0.0f, 0.0f}, {0, 0, 0}},
    {0, 0, -1, {0.0f, 0.0f, 0.0f}, {0, 0, 0}},
    {0, 0, -1, {0.0f, 0.0f, 0.0f}, {0, 0, 0}},
    {0, 0, -1, {0.0f, 0.0f, 0.0f}, {0, 0, 0}},
    {0, 0, -1, {0.0f, 0.0f, 0.0f}, {0, 0, 0}},
    {0, 0, -1, {0.0f, 0.0f, 0.0f}, {0, 0, 0}},
    {0, 0, -1, {0.0f, 0.0f, 0.0f}, {0, 0, 0}},
    {0, 0, -1, {0.0f, 0.0f, 0.0f}, {0, 0, 0}},
};

// "木の配置数オーバー": the pool is full.
static const char POOL_FULL_TEXT[] = "\x96\xD8\x82\xCC\x94\x7A\x92\x75\x90\x94\x83\x49\x81\x5B\x83\x6F\x81\x5B";

static void setFadeLevels(FloorObject& object, int32_t level) {
    for (int32_t& fade : object.fadeLevels) fade = level;
}

int32_t placeFloorObject(const Vector3& position, const Vector3& size, float angle, int32_t kind) {
    if (kind < 0 || kind >= FLOOR_OBJECT_KIND_COUNT) {
        logLine("floor object of unknown kind %d not placed", kind);
        return -1;
    }
    int32_t index = 0;
    while (index < FLOOR_OBJECT_MAX && gFloorObjects[index].kind != FLOOR_OBJECT_FREE) ++index;
    // Mended: a full pool handed back slot 0, a live object the caller then
    // changed; now nothing is placed and the caller skips it. The report is
    // logged, since placing runs on the loader thread, where no box may open.
    if (index == FLOOR_OBJECT_MAX) {
        logSjis("error", POOL_FULL_TEXT);
        return -1;
    }
    FloorObject& object = gFloorObjects[index];
    object.kind = kind;
    object.hitPoints = FLOOR_OBJECT_KINDS[kind].hitPoints;
    object.position = position;
    object.ground = CollisionHit{};
    object.position.y = findGroundUnder(position.x, position.y, position.z, &object.ground)
                            ? object.ground.floorHeight
                            : 0.0f;
    object.home = object.position;
    object.size = size;
    object.yaw = angle;
    object.tilt = 0.0f;
    object.spin = 0.0f;
    object.state = FLOOR_OBJECT_IDLE;
    object.counter = 0;
    setFadeLevels(object, 0);
    object.spinSpeed = 0.0f;
    object.wasHit = 0;
    for (int32_t& serial : object.recentAttacks) serial = -1;
    return index;
}

int32_t placeSwitchObject(int32_t row, int32_t kind, const Vector3& position, const Vector3& size, float angle) {
    int32_t index = placeFloorObject(position, size, angle, kind);
    if (row < 0 || row >= SWITCH_ROW_COUNT) return index;
    gSwitchRegistry.objects[row] = index;
    if (index >= 0) gFloorObjects[index].state = FLOOR_OBJECT_HIDDEN;
    return index;
}

static FloorObject* switchObject(int32_t row) {
    if (row < 0 || row >= SWITCH_ROW_COUNT) return nullptr;
    int32_t index = gSwitchRegistry.objects[row];
    return index >= 0 && index < FLOOR_OBJECT_MAX ? &gFloorObjects[index] : nullptr;
}

void triggerSwitchCut(int32_t row) {
    FloorObject* object = switchObject(row);
    if (!object || object->state != FLOOR_OBJECT_HIDDEN) return;
    gRun.switchCutTimer = SWITCH_CUT_FRAMES;
    gSwitchRegistry.switchCutFrame = 0;
    object->state = FLOOR_OBJECT_IDLE;
    gSwitchRegistry.lastRowShown = row != 0 ? 1 : 0;
    object->position.y = object->home.y - 5.0f;
}

// A shake offset in [-0.25, 0.25).
static float shakeDraw() { return (randomUnit() - 0.5f) * 0.5f; }

// One switch rising out of the ground at frame f of the cut-scene.
static void raiseSwitch(FloorObject& object, int32_t f) {
    if (f == 30) {
        playSoundEffect(364);
        spawnEffectObject(nullptr, object.position.x, object.position.y, object.position.z, 46, 0.11f, 1);
    }
    if (object.kind == FLOOR_OBJECT_MAGIC_CIRCLE) {
        // The circle never sinks or shakes: it opens out instead.
        object.position = object.home;
        if (f < 30) object.size.x = 0.0f;
        else if (f < 50) object.size.x = (float)(f - 30) * object.size.y / 20.0f;
        else object.size.x = object.size.y;
        return;
    }
    if (f == 0) object.position.y = object.home.y - 5.0f;
    if (f >= 30 && f < 50) {
        object.position.y = object.home.y - (2.0f - 0.1f * (float)(f - 30)) * 2.5f;
        object.position.x = object.home.x + shakeDraw();
        object.position.z = object.home.z + shakeDraw();
    } else if (f == 50) {
        object.position = object.home;
    }
}

void updateSwitchCut() {
    int32_t f = gSwitchRegistry.switchCutFrame;
    if (f == 0) startFrozenFrameFade();
    Vector3 focus = {};
    int32_t rows = 0;
    for (int32_t row = 0; row <= gSwitchRegistry.lastRowShown && row < SWITCH_ROW_COUNT; ++row) {
        FloorObject* object = switchObject(row);
        if (!object) continue;
        raiseSwitch(*object, f);
        focus = rows == 0 ? object->home
                          : Vector3{(focus.x + object->home.x) * 0.5f, (focus.y + object->home.y) * 0.5f,
                                    (focus.z + object->home.z) * 0.5f};
        ++rows;
    }
    if (f >= 1) {
        gFieldCamera.cameraMode = CAMERA_SCRIPTED;
        gFieldCamera.cameraTarget = Vector3{focus.x, focus.y + 3.0f, focus.z};
        float a = PI + 0.002f * (float)f;
        gFieldCamera.cameraEye = Vector3{focus.x + 20.0f * sinf(a), focus.y + 10.0f - 0.01f * (float)f,
                             focus.z + (20.0f - 0.01f * (float)f) * cosf(a)};
    }
    ++gSwitchRegistry.switchCutFrame;
    if (gRun.switchCutTimer <= 0) {
        gFieldCamera.cameraMode = CAMERA_FOLLOW;
        gFieldCamera.cameraReset = 1;
    }
}

// An opened chest or circle: the glow rises, sparkles rise over the last
// frames, and at 120 the slot is free. Returns false once freed.
static bool fadeOpenedObject(FloorObject& object) {
    ++object.counter;
    setFadeLevels(object, 17 * (object.counter < 88 ? object.counter : 88));
    if (object.counter >= CHEST_FADE_FRAMES) {
        object.kind = FLOOR_OBJECT_FREE;
        return false;
    }
    if (object.counter > 110) {
        float dz = shakeDraw();
        float dx = shakeDraw();
        spawnEffectObject(nullptr, object.position.x + dx, object.position.y + 0.5f, object.position.z + dz, 14,
                          0.325f, 1);
    }
    return true;
}

void animateFloorObjects() {
    for (FloorObject& object : gFloorObjects) {
        if (object.kind == FLOOR_OBJECT_FREE || object.state == FLOOR_OBJECT_HIDDEN) continue;
        switch (object.kind) {
        case FLOOR_OBJECT_CHEST:
        case FLOOR_OBJECT_TRAP_CHEST:
        case FLOOR_OBJECT_MAGIC_CIRCLE:
            if (object.state == FLOOR_OBJECT_OPENED && !fadeOpenedObject(object)) continue;
            break;
        case FLOOR_OBJECT_RETURN_GATE:
            if (object.state == FLOOR_OBJECT_ACTIVE) {
                object.counter += 17;
                if (object.counter > RETURN_GATE_GLOW_MAX) object.counter = RETURN_GATE_GLOW_MAX;
                setFadeLevels(object, object.counter);
            }
            break;
        default:
            if (object.state == FLOOR_OBJECT_ACTIVE) object.state = FLOOR_OBJECT_IDLE;
            break;
        }
        if (object.shakeFrames > 0) {
            --object.shakeFrames;
            object.shakeOffset.x = shakeDraw();
            object.shakeOffset.z = shakeDraw();
        } else {
            object.shakeOffset.x = 0.0f;
            object.shakeOffset.z = 0.0f;
        }
        ++object.frameCount;
    }
}

void clearFloorObjects() {
    for (FloorObject& object : gFloorObjects) {
        object.kind = FLOOR_OBJECT_FREE;
        object.state = FLOOR_OBJECT_IDLE;
        object.counter = 0;
        object.frameCount = 0;
        object.shakeFrames = 0;
    }
}

void resetSwitchState() {
    for (int32_t& object : gSwitchRegistry.objects) object = -1;
    gSwitchRegistry.lastRowShown = 0;
    gSwitchRegistry.switchCutFrame = 0;
}

void resetFloorObjects() {
    for (FloorObject& object : gFloorObjects) object = FloorObject{};
    clearFloorObjects();
    gSwitchRegistry = SwitchRegistry{{-1, -1}, 0, {}, 0};
}
