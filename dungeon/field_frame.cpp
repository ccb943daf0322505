#include "dungeon/field_frame.h"

int32_t gFloorIndex;
int32_t gRunEndState;
int32_t gRunEndTimer;

// The field frame arrives with the dungeon floors.
void updateFieldFrame() {}
void updateDungeonScenery() {}
void updateQueuedEvent() {}
