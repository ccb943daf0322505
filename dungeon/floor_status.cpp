#include "dungeon/floor_status.h"

#include "dungeon/field_frame.h"
#include "engine/stage_index.h"

FloorConditionList gFloorConditionList;
int32_t gConditionBannerCounter;
int32_t gConditionTickerDone;
int32_t gSkillCountdown;
int32_t gPlayerControl = -1;
int32_t gSwitchCutTimer;
int32_t gBossEntranceCutTimer;
int32_t gGatePrompt;
int32_t gEnemyKillCombo;
int32_t gBossRushCourse = -1;
int32_t gBossRushBattle = -1;
NumberPopup gNumberPopups[NUMBER_POPUP_COUNT];

constexpr int32_t LAST_DUNGEON = 5;

int32_t isFloorConditionActive(int32_t id) {
    for (int32_t i = 0; i < gFloorConditionList.count && i < FLOOR_CONDITION_MAX; ++i)
        if (gFloorConditionList.ids[i] == id) return 1;
    return 0;
}

int32_t isBossFloor() {
    if (gDungeonIndex == LAST_DUNGEON) return gFloorIndex >= 29 ? 1 : 0;
    return gFloorIndex % 5 == 4 ? 1 : 0;
}

void resetFloorStatus() {
    gFloorConditionList = FloorConditionList{};
    gConditionBannerCounter = 0;
    gConditionTickerDone = 0;
    gSkillCountdown = 0;
    gPlayerControl = -1;
    gSwitchCutTimer = 0;
    gBossEntranceCutTimer = 0;
    gGatePrompt = 0;
    gEnemyKillCombo = 0;
    gBossRushCourse = -1;
    gBossRushBattle = -1;
    for (NumberPopup& p : gNumberPopups) p = NumberPopup{};
}
