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

bool isBossKind(int32_t kind) {
    switch (kind) {
    case 23: case 24: case 25: case 27: case 28: case 41: case 43: case 49: case 54: case 55: return true;
    default: return kind >= 59 && kind <= 73;
    }
}

// The row of the current dungeon and floor; null when none lists it. The
// Boss Rush's own rows arrive with its course table.
static const FloorSpawnRange* currentSpawnRow() {
    int32_t d = gRun.dungeonIndex;
    if (gRun.bossRushCourse >= 1 || d < 0 || d >= SPAWN_DUNGEONS) return nullptr;
    for (const FloorSpawnRange& row : gFloorSpawnTable[d]) {
        if (row.floorFrom < 0) break;
        if (gFloorIndex >= row.floorFrom && gFloorIndex <= row.floorTo) return &row;
    }
    return nullptr;
}

int32_t getKindDropItem(int32_t kind, int32_t slot, int32_t variant) {
    constexpr int32_t WISP_KIND = 34;
    if (slot < 0 || slot >= SPAWN_DROPS) return -1;
    if (kind == WISP_KIND) {
        int32_t d = gRun.dungeonIndex;
        return slot == 1 && d >= 0 && d < SPAWN_DUNGEONS ? gWispDrops[d] : -1;
    }
    const FloorSpawnRange* row = currentSpawnRow();
    if (!row) return -1;
    int32_t byKind = -1;
    for (int32_t i = 0; i < SPAWN_ENTRIES && row->entries[i].kind != -1; i++) {
        if (row->entries[i].kind != kind) continue;
        if (row->entries[i].variant == variant) return row->drops[i][slot];
        if (byKind < 0) byKind = i;
    }
    return byKind < 0 ? -1 : row->drops[byKind][slot];
}

// Every row of the shipped placement table is disabled or empty: only the
// guard counts the calls.
void spawnPlacedEnemies() { gEnemySpawnState.placedOnce++; }
