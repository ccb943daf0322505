#include "dungeon/spawn_tables.h"

#include "dungeon/field_frame.h"
#include "engine/stage_index.h"

constexpr int32_t LAST_DUNGEON = 5;

bool isBossFloor() {
    if (gDungeonIndex == LAST_DUNGEON) return gFloorIndex >= 29;
    return gFloorIndex % 5 == 4;
}
