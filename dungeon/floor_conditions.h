// dungeon/floor_conditions.h: the conditions of the current dungeon floor
// ("windy", "slippery", ...), rolled once per floor and shown by a banner.
#pragma once
#include <cstdint>

constexpr int32_t FLOOR_CONDITION_ACTIVE_MAX = 5;
constexpr int32_t FLOOR_CONDITION_MAX = FLOOR_CONDITION_ACTIVE_MAX;
constexpr int32_t FLOOR_CONDITION_NAME_SIZE = 256;

struct FloorConditionList {
    int32_t count;
    int32_t ids[FLOOR_CONDITION_ACTIVE_MAX];
    int32_t rollState;   // 0 not rolled on this floor, 1 rolled, 2 banner in fast mode
    // The names as the banner shows them, one after the other.
    int32_t nameOffsets[FLOOR_CONDITION_ACTIVE_MAX];
    char names[FLOOR_CONDITION_ACTIVE_MAX][FLOOR_CONDITION_NAME_SIZE];
    int32_t totalLength;   // the banner's scroll length
};
extern FloorConditionList gFloorConditionList;
// The banner's frame counter; 0 no banner.
extern int32_t gConditionBannerCounter;
// Set by the ticker's drawing when its band has closed; from then the
// condition names slide in by gConditionNameSlide (0..200, advanced by the
// dungeon control).
extern int32_t gConditionTickerDone;
extern int32_t gConditionNameSlide;
constexpr int32_t CONDITION_NAME_SLIDE_MAX = 200;

// 1 on a dungeon stage when id is among the floor's active conditions.
int32_t isFloorConditionActive(int32_t id);
// Chooses the floor's condition. The draw from the condition table arrives
// with the table; until then no condition is chosen.
void rollFloorConditions();
// No condition, no banner, not rolled.
void resetFloorConditions();
