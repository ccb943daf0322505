#include "dungeon/spawn_tables.h"

#include "dungeon/field_frame.h"
#include "engine/stage_index.h"

bool isBossFloor() {
    if (gRun.dungeonIndex == 5) return gFloorIndex >= 29;
    return gFloorIndex % 5 == 4;
}

// The spawn rows arrive with the enemy tables; until then only the fixed
// boss floors have a boss.
bool hasBossOnFloor() {
    if (gRun.dungeonIndex == 0 && gFloorIndex == 4) return true;
    if (gRun.dungeonIndex == 4 && (gFloorIndex == 29 || gFloorIndex == 99)) return true;
    return false;
}

// The enemy pool arrives with the enemies; until then a floor starts empty.
void spawnFloorEnemies() {}
void populateFloor() {}
