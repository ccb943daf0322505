#include "dungeon/field_events.h"

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/field_frame.h"
#include "dungeon/floor_generator.h"
#include "dungeon/floor_objects.h"
#include "dungeon/floor_start.h"
#include "engine/loaders.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"
#include "field/field_state.h"
#include "story/story_state.h"

int32_t gEventStartArg;
int32_t gFallTimer;

namespace {

constexpr int32_t STUN_FRAMES = 30;
constexpr int32_t MOTION_STUNNED = 2;
constexpr int32_t ACTION_FREE = 0;
constexpr int32_t ACTION_STUNNED = 1;
constexpr int32_t FLOOR_FLAG_WATER = 1;

bool hasFallen() {
    const StageRecord* stage = currentFieldStage();
    if (!stage) return false;
    const Vector3& at = gParty.positions[0];
    if (at.y < (float)(stage->deathheight - 1)) return true;
    return stage->deathheight == DEATH_HEIGHT_WATER && gParty.ground[0].floorFlag == FLOOR_FLAG_WATER;
}

int32_t runningMaxHp() {
    if (gChosenAdventurer < 0 || gChosenAdventurer >= ADVENTURER_COUNT) return 0;
    const AdventurerRecord& a = runningGameState().adventurers[gChosenAdventurer];
    return a.hpBase + a.hpBonus;
}

void holdStunned() {
    gParty.actionState = ACTION_STUNNED;
    gParty.stunTimer = STUN_FRAMES;
    setMotion(gParty.motions[0], MOTION_STUNNED);
}

}  // namespace

static void startRequestedEvent(int32_t major, int32_t minor, int32_t loaderMode) {
    gSwitchRegistry.queued.pending = 0;
    gEventStartArg = 0;
    gEventNumber = EventNumber{major, minor};
    gEventReady = 2;
    startEventLoader(loaderMode);
}

int32_t requestEvent(int32_t major, int32_t minor, int32_t loaderMode) {
    if (gEventReady != 0) return 0;
    startRequestedEvent(major, minor, loaderMode);
    return 1;
}

void updateQueuedEvent() {
    QueuedEvent& queued = gSwitchRegistry.queued;
    if (!queued.pending) return;
    placePlayer(queued.point.x, queued.point.z, gParty.facing);
    if (gEventReady == 0) startRequestedEvent(queued.major, queued.minor, queued.loaderMode);
}

int32_t fallDamage(int32_t maxHp, bool doubled) { return (int32_t)(maxHp * (doubled ? 0.2 : 0.1)); }

void checkFallOut() {
    if (gRunEndState == RUN_GOES_ON && gFallTimer == 0 && hasFallen()) {
        bool spared = gRunEndTimer > 0 || gGatePrompt > 0 || gParty.invincibility > 0;
        bool doubled = gDungeonIndex == 5 && gBossRushBattle < 0;
        applyDamageToPlayer(spared ? 0 : fallDamage(runningMaxHp(), doubled));
        if (gParty.hp < 0.0f) gParty.hp = 0.0f;
        gFallTimer = FALL_FRAMES;
    }
    if (gFallTimer <= 0) return;
    gFallTimer--;
    holdStunned();
    if (gFallTimer > 0) return;
    if (gParty.hp <= 0.0f) {
        gParty.hp = 0.0f;
        if (gRunEndState == RUN_GOES_ON) gRunEndState = RUN_DEFEATED;
        return;
    }
    gParty.positions[0] = gFloorStartPos;
    gParty.facing = gFloorStartHeading;
    gParty.actionState = ACTION_FREE;
    gParty.stunTimer = 0;
    gCameraReset = 1;
}

void resetFieldEventState() {
    gEventStartArg = 0;
    gFallTimer = 0;
}
