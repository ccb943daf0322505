// dungeon/floor_conditions.cpp: the conditions of the current dungeon floor
// ("windy", "slippery", ...), rolled once per floor and shown by a banner.
#include "dungeon/dungeon.h"

#include "engine/stage_index.h"

FloorConditionList gFloorConditionList;
int32_t gConditionBannerCounter;
int32_t gConditionTickerDone;
int32_t gConditionNameSlide;

int32_t isFloorConditionActive(int32_t id) {
    if (!gCurrentStage || gCurrentStage->maptype <= 0) return 0;
    const FloorConditionList& list = gFloorConditionList;
    for (int32_t i = 0; i < list.count && i < FLOOR_CONDITION_ACTIVE_MAX; i++)
        if (list.ids[i] == id) return 1;
    return 0;
}

void rollFloorConditions() {}

void advanceConditionNameSlide() {
    if (gConditionTickerDone && gConditionNameSlide < CONDITION_NAME_SLIDE_MAX) gConditionNameSlide++;
}

void resetFloorConditions() {
    gFloorConditionList = FloorConditionList{};
    gConditionBannerCounter = 0;
    gConditionTickerDone = 0;
    gConditionNameSlide = 0;
}
