// dungeon/floor_status.cpp: the running floor's status that the dungeon
// update writes and the field's HUD and overlay read.
#include "dungeon/dungeon.h"
#include "engine/stage_index.h"

int32_t gBossEntranceCutTimer;
int32_t gEnemyKillCombo;
NumberPopup gNumberPopups[NUMBER_POPUP_COUNT];

void resetFloorStatus() {
    gBossEntranceCutTimer = 0;
    gEnemyKillCombo = 0;
    for (NumberPopup& p : gNumberPopups) p = NumberPopup{};
}
