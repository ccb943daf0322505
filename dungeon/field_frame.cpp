#include "dungeon/field_frame.h"

int32_t gDungeonIndex;
int32_t gRunEndState;
int32_t gRunEndTimer;
int32_t gSpecialMusicTimer;
float gBossCutFade = 1.0f;
EventNumber gEventNumber;

// The field frame arrives with the dungeon floors.
void updateFieldFrame() {}
void updateDungeonScenery() {}
void updateQueuedEvent() {}

void resetFieldFrameState() {
    gDungeonIndex = 0;
    gRunEndState = 0;
    gRunEndTimer = 0;
    gSpecialMusicTimer = 0;
    gBossCutFade = 1.0f;
    gEventNumber = EventNumber{};
}
