// dungeon/floor_objects.h: the placed objects of a floor (trees, grass,
// torches, chests, trap chests, return gates, the next-floor magic circle)
// in one fixed pool, and the switches a stage script reveals with a short
// door cut-scene.
//
// Placement runs on the scene loader thread during startFloor and on the
// main thread from scripts; animation and the cut-scene on the main thread.
#pragma once
#include <cstdint>

#include "dungeon/dungeon.h"
#include "engine/math.h"

// Pool indexes of the objects registered as switch rows 0 and 1 (-1 none),
// and the last row shown by the running door cut-scene.
constexpr int32_t SWITCH_ROW_COUNT = 2;
// An event request held until the running one ends, with the point the
// controlled character waits at meanwhile.
struct QueuedEvent {
    int32_t pending;
    int32_t major;
    int32_t minor;
    int32_t loaderMode;
    Vector3 point;
};
struct SwitchRegistry {
    int32_t objects[SWITCH_ROW_COUNT];
    int32_t lastRowShown;
    QueuedEvent queued;
};
extern SwitchRegistry gSwitchRegistry;
extern int32_t gSwitchCutFrame;   // frames the door cut-scene has run

constexpr int32_t SWITCH_CUT_FRAMES = 120;
constexpr int32_t CHEST_FADE_FRAMES = 120;
constexpr int32_t RETURN_GATE_GLOW_MAX = 1360;

// Places the object as placeFloorObject does, hidden, and registers it as switch row (0 or 1).
int32_t placeSwitchObject(int32_t row, int32_t kind, const Vector3& position, const Vector3& size, float angle);
// Reveals switch row if still hidden: starts the 120-frame door cut-scene.
void triggerSwitchCut(int32_t row);
// One frame of the door cut-scene, after gSwitchCutTimer was decremented.
void updateSwitchCut();
// One frame of animation of the whole pool.
void animateFloorObjects();
// Every slot free (a floor starts); the switch rows stay as registered.
void clearFloorObjects();
