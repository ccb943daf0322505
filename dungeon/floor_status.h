// dungeon/floor_status.h: the running floor's status that the dungeon update
// writes and the field's HUD and overlay read: the floor's conditions and
// their ticker, the cut-scene timers that hold the player, the skill flash,
// the kill combo and the floating numbers. The floor start clears them.
#pragma once
#include <cstdint>

#include "dungeon/field_frame.h"
#include "dungeon/floor_conditions.h"
#include "dungeon/spawn_tables.h"
#include "engine/math.h"
#include "field/field.h"

extern int32_t gBossEntranceCutTimer;   // non-zero while a boss makes its entrance
extern int32_t gEnemyKillCombo;

constexpr int32_t NUMBER_POPUP_COUNT = 32;
struct NumberPopup {
    Vector3 position;
    int32_t timer;      // counts down; 0 free
    int32_t duration;   // 60 or 90
    int32_t value;
    int32_t type;       // 0..9 numbers, 10 and up labels
};
extern NumberPopup gNumberPopups[NUMBER_POPUP_COUNT];

// Back to the values a fresh process starts with.
void resetFloorStatus();
