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
// 23, 24, 25, 27, 28, 41, 43, 49, 54, 55 and 59..73.
bool isBossKind(int32_t kind);
// The item a kind drops from slot 0..2 on this floor: the floor row's first
// entry of that kind and variant, else of that kind; -1 none.
int32_t getKindDropItem(int32_t kind, int32_t slot, int32_t variant);
// The stage's placed enemies, once per floor; called every frame by the
// enemies' update.
void spawnPlacedEnemies();
