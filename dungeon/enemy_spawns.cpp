#include "dungeon/enemy_spawns.h"

// The spawn table arrives with the enemies; until then no floor has a boss.
int32_t isBossFloor() { return 0; }
