#include "dungeon/spawn_tables.h"

#include "engine/stage_index.h"

bool isBossFloor() { return gFloorIndex % 5 == 4; }
