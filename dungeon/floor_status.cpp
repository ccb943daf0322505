#include "dungeon/floor_status.h"

#include "dungeon/field_frame.h"
#include "engine/stage_index.h"

int32_t gPlayerControl = -1;
int32_t gSwitchCutTimer;
int32_t gBossEntranceCutTimer;
int32_t gGatePrompt;
int32_t gEnemyKillCombo;
int32_t gBossRushCourse = -1;
int32_t gBossRushBattle = -1;
NumberPopup gNumberPopups[NUMBER_POPUP_COUNT];

void resetFloorStatus() {
    gPlayerControl = -1;
    gSwitchCutTimer = 0;
    gBossEntranceCutTimer = 0;
    gGatePrompt = 0;
    gEnemyKillCombo = 0;
    gBossRushCourse = -1;
    gBossRushBattle = -1;
    for (NumberPopup& p : gNumberPopups) p = NumberPopup{};
}
