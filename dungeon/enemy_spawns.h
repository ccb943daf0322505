// dungeon/enemy_spawns.h: which enemies a floor spawns and which floors
// hold a boss.
#pragma once
#include <cstdint>

// 1 on a boss floor of the current run position.
int32_t isBossFloor();
