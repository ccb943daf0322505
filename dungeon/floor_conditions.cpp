#include "dungeon/floor_conditions.h"

#include "engine/stage_index.h"

FloorConditionList gFloorConditionList;
int32_t gConditionBannerCounter;
int32_t gConditionRollState;

int32_t isFloorConditionActive(int32_t id) {
    if (!gCurrentStage || gCurrentStage->maptype <= 0) return 0;
    int32_t count = gFloorConditionList.count;
    if (count > FLOOR_CONDITION_MAX) count = FLOOR_CONDITION_MAX;
    for (int32_t i = 0; i < count; i++)
        if (gFloorConditionList.ids[i] == id) return 1;
    return 0;
}

void resetFloorConditions() {
    gFloorConditionList = FloorConditionList{};
    gConditionBannerCounter = 0;
    gConditionRollState = FLOOR_CONDITION_NOT_ROLLED;
}
