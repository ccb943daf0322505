// dungeon/departure.h: the adventurers' guild departure screen (mode 11):
// the dungeons' sizes and the stage a run's floor plays on.
#pragma once
#include <cstdint>

#include "dungeon/dungeon.h"

constexpr int32_t DUNGEON_COUNT_TOTAL = 6;
// Five-floor blocks per dungeon.
constexpr int32_t DUNGEON_FLOOR_BLOCKS[DUNGEON_COUNT_TOTAL] = {1, 3, 6, 10, 20, 12};
// Floors of a dungeon 0..5; 0 for any other number.
int32_t getDungeonFloorCount(int32_t dungeon);

// The stage key (stage code index) of gDungeonIndex / gFloorIndex: dungeon 5
// from floor 30 by its list per floor; otherwise by the floor's block of
// five, the dungeon's last floor taking the entry after its block.
int32_t getStageKeyForFloor();
