// dungeon/floor_conditions.h: the conditions rolled for a dungeon floor
// (named rules such as more gems or stronger enemies) and their banner.
#pragma once
#include <cstdint>

constexpr int32_t FLOOR_CONDITION_MAX = 5;
constexpr int32_t FLOOR_CONDITION_NAME_SIZE = 256;

enum FloorConditionRoll : int32_t {
    FLOOR_CONDITION_NOT_ROLLED = 0,
    FLOOR_CONDITION_ROLLED = 1,
    FLOOR_CONDITION_BANNER_FAST = 2,
};

// The floor's active conditions.
struct FloorConditionList {
    int32_t count;
    int32_t ids[FLOOR_CONDITION_MAX];
    int32_t nameOffsets[FLOOR_CONDITION_MAX];
    char names[FLOOR_CONDITION_MAX][FLOOR_CONDITION_NAME_SIZE];
    int32_t totalLength;   // the banner's scroll length
};
extern FloorConditionList gFloorConditionList;
extern int32_t gConditionBannerCounter;   // banner frames; 0 no banner
extern int32_t gConditionRollState;       // FloorConditionRoll

// 1 when the current stage is a dungeon stage and id is one of the active
// conditions, else 0.
int32_t isFloorConditionActive(int32_t id);
void resetFloorConditions();
