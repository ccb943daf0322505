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

constexpr int32_t SWITCH_CUT_FRAMES = 120;
constexpr int32_t CHEST_FADE_FRAMES = 120;
constexpr int32_t RETURN_GATE_GLOW_MAX = 1360;

// Places the object as placeFloorObject does, hidden, and registers it as switch row (0 or 1).
int32_t placeSwitchObject(int32_t row, int32_t kind, const Vector3& position, const Vector3& size, float angle);
// Reveals switch row if still hidden: starts the 120-frame door cut-scene.
void triggerSwitchCut(int32_t row);
// One frame of the door cut-scene, after gRun.switchCutTimer was decremented.
void updateSwitchCut();
// One frame of animation of the whole pool.
void animateFloorObjects();
// Every slot free (a floor starts); the switch rows stay as registered.
void clearFloorObjects();
