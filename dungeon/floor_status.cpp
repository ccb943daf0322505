#include "dungeon/floor_status.h"

#include "dungeon/field_frame.h"
#include "engine/stage_index.h"

int32_t gBossEntranceCutTimer;
int32_t gEnemyKillCombo;
NumberPopup gNumberPopups[NUMBER_POPUP_COUNT];

void resetFloorStatus() {
    gBossEntranceCutTimer = 0;
    gEnemyKillCombo = 0;
    for (NumberPopup& p : gNumberPopups) p = NumberPopup{};
}
