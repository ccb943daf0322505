// dungeon/field_frame.h: the field's per-tick frame, shop floor and dungeon alike.
#pragma once
#include <cstdint>

#include "engine/stage_index.h"

extern int32_t gDungeonIndex;   // current dungeon, 0..5
extern int32_t gRunEndState;    // 0 running, 1 defeated, 2 returned, 3 cleared
extern int32_t gRunEndTimer;
extern int32_t gSpecialMusicTimer;   // counted down by the field frame; music track 10 while above 0
// 1.0 from a floor's start, falling to 0 while a boss makes its entrance;
// the light layer of the map fades with it.
extern float gBossCutFade;

// The event script to run (or running): "iv/iv<major>_<minor>.ivt".
struct EventNumber {
    int32_t major;
    int32_t minor;
};
extern EventNumber gEventNumber;
// Back to the values a fresh process starts with (a new boot in the same process).
void resetFieldFrameState();

void updateFieldFrame();
void updateDungeonScenery();
void updateQueuedEvent();
// Requests event script (major, minor), its loader in loaderMode; 1 when
// taken, 0 while another event loads or runs.
int32_t requestEvent(int32_t major, int32_t minor, int32_t loaderMode);
