// dungeon/spawn_tables.h: which enemies a floor holds.
#pragma once

// Every fifth floor of a dungeon (floor index % 5 == 4) is a boss floor.
bool isBossFloor();
