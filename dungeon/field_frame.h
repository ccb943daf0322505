// dungeon/field_frame.h: the field's per-tick frame, shop floor and dungeon alike.
#pragma once
#include <cstdint>

extern int32_t gFloorIndex;     // current floor, 0-based
extern int32_t gRunEndState;    // 0 running, 1 defeated, 2 returned, 3 cleared
extern int32_t gRunEndTimer;

void updateFieldFrame();
void updateDungeonScenery();
void updateQueuedEvent();
