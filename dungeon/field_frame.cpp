#include "dungeon/field_frame.h"

#include "adventurers/shop_floor.h"
#include "dungeon/floor_objects.h"
#include "engine/stage_index.h"

int32_t gDungeonIndex;
int32_t gRunEndState;
int32_t gRunEndTimer;
int32_t gSpecialMusicTimer;
float gBossCutFade = 1.0f;
EventNumber gEventNumber;
int32_t gBossRushCourse = -1;
int32_t gBossRushBattle = -1;
int32_t gFloorTime;
int32_t gGatePrompt;
int32_t gGateGuard;
int32_t gHitStopInput;
int32_t gSwitchCutTimer;
int32_t gSlowMotionTimer;
int32_t gFloorIntroTimer;
int32_t gEquipPrompt;
int32_t gAutoWalk;
int32_t gStartVoiceTimer;
int32_t gPlayerControl = -1;

// The rest of the field frame arrives with the dungeon floors; the player's
// control on shop and town stages is the shop floor's. A door cut-scene
// runs alone.
void updateFieldFrame() {
    if (gSwitchCutTimer > 0) {
        --gSwitchCutTimer;
        updateSwitchCut();
        return;
    }
    bool known = gStageIndex >= 0 && gStageIndex < gStageCount && gStageIndex < STAGE_CODE_COUNT;
    if (known && gStages[gStageIndex].stageCode <= SHOP_STAGE_LAST) updateShopFloor();
    else if (gFloorIntroTimer == 0) animateFloorObjects();
}
void updateDungeonScenery() { animateFloorObjects(); }
void updateQueuedEvent() {}

int32_t gCharDrawFlag;

void resetFieldFrameState() {
    gDungeonIndex = 0;
    gRunEndState = 0;
    gRunEndTimer = 0;
    gSpecialMusicTimer = 0;
    gBossCutFade = 1.0f;
    gEventNumber = EventNumber{};
    gCharDrawFlag = 0;
    gBossRushCourse = -1;
    gBossRushBattle = -1;
    gFloorTime = gGatePrompt = gGateGuard = gHitStopInput = 0;
    gSwitchCutTimer = gSlowMotionTimer = gFloorIntroTimer = gEquipPrompt = 0;
    gAutoWalk = gStartVoiceTimer = 0;
    gPlayerControl = -1;
}
