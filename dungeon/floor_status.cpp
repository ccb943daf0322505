// dungeon/floor_status.cpp: the running floor's status that the dungeon
// update writes and the field's HUD and overlay read.
#include "dungeon/dungeon.h"
#include "engine/stage_index.h"

FloorStatus gFloorStatus;
NumberPopup gNumberPopups[NUMBER_POPUP_COUNT];

void resetFloorStatus() {
    gFloorStatus = FloorStatus{};
    gFloorStatus.enemyKillComboKind = -1;
    for (NumberPopup& p : gNumberPopups) p = NumberPopup{};
}
