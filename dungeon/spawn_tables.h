// dungeon/spawn_tables.h: which enemies a floor holds.
#pragma once

// Every fifth floor of a dungeon (floor index % 5 == 4) is a boss floor; in
// the last dungeon every floor from index 29 (the Boss Rush floors).
bool isBossFloor();
