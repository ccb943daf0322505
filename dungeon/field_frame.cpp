#include "dungeon/field_frame.h"

#include "adventurers/shop_floor.h"
#include "engine/stage_index.h"

int32_t gDungeonIndex;
int32_t gRunEndState;
int32_t gRunEndTimer;
int32_t gSpecialMusicTimer;
float gBossCutFade = 1.0f;
EventNumber gEventNumber;

// The rest of the field frame arrives with the dungeon floors; the player's
// control on shop and town stages is the shop floor's.
void updateFieldFrame() {
    bool known = gStageIndex >= 0 && gStageIndex < gStageCount && gStageIndex < STAGE_CODE_COUNT;
    if (known && gStages[gStageIndex].stageCode <= SHOP_STAGE_LAST) updateShopFloor();
}
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
// Events are requested once the event runtime arrives; until then none is taken.
int32_t requestEvent(int32_t, int32_t, int32_t) { return 0; }
