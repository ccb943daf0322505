// dungeon/spawn_tables.h: which enemies a dungeon floor holds: the boss
// tests used across the dungeon code and the initial placement of a floor's
// enemies, run by the floor start on the scene loader thread.
#pragma once

#include "dungeon/dungeon.h"

// The floor's boss fight: dungeon 0 floor 4 and dungeon 4 floors 29 and 99;
// otherwise a boss floor whose spawn row lists a boss kind.
bool hasBossOnFloor();
// The initial enemies of a new floor.
void spawnFloorEnemies();
// Scatters the floor range's enemies over the rooms.
void populateFloor();
