// The dungeon's rows of the game's state registry.
#include "dungeon/enemies.h"
#include "dungeon/field_events.h"
#include "dungeon/field_frame.h"
#include "dungeon/fixed_floors.h"
#include "dungeon/floor_generator.h"
#include "dungeon/floor_objects.h"
#include "dungeon/floor_start.h"
#include "dungeon/pickups.h"
#include "dungeon/dungeon.h"
#include "dungeon/dungeon_state.h"
#include "engine/state_table.h"

static void hashRun(StateHash& h, ChecksumScope) {
    for (int32_t word : {gDungeonIndex, gRunEndState, gRunEndTimer, gSpecialMusicTimer, gBossRushCourse,
                         gBossRushBattle, gGatePrompt, gGateIsReturn, gGateGuard, gEquipPrompt, gSwitchCutTimer,
                         gHitStopTimer, gHitStopInput, gSlowMotionTimer, gFloorIntroTimer, gFloorTime, gLastHitTimer,
                         gPlayerControl, gTrailDue})
        h.i32(word);
}

static const StateRow ROWS[] = {
    stateRow<gDungeonIndex, gRunEndState, gRunEndTimer, gSpecialMusicTimer, gBossRushCourse, gBossRushBattle,
             gGatePrompt, gGateIsReturn, gGateGuard, gEquipPrompt, gSwitchCutTimer, gHitStopTimer, gHitStopInput,
             gSlowMotionTimer, gFloorIntroTimer, gFloorTime, gLastHitTimer, gPlayerControl, gCharDrawFlag, gTrailDue,
             gBossCutFade, gStartVoiceTimer>("run", resetFieldFrameState, hashRun),
    stateRow<gFallTimer>("field events", resetFieldEventState, hashWords<gFallTimer>),
    resetRow("floor map", resetFloorMap),
    resetRow("enemies", resetEnemies),
    resetRow("floor objects", resetFloorObjects),
    resetRow("pickups", resetPickups),
    resetRow("floor status", resetFloorStatus),
    resetRow("floor generator", resetFloorGenerator),
    resetRow("floor start", resetFloorStart),
    resetRow("fixed floors", resetFixedFloors),
    resetRow("floor conditions", resetFloorConditions),
};
extern const StateTable DUNGEON_STATE;   // read by the game's registry
const StateTable DUNGEON_STATE = {"dungeon", ROWS, (int32_t)(sizeof ROWS / sizeof ROWS[0])};
