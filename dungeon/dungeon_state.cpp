// dungeon/dungeon_state.cpp: the dungeon's rows of the game's state registry.
// The run checksum takes the run's words that the logic moves, in the order
// it always took them, and the fall; the floor's pools and layout are only
// reset and snapshotted.
#include "dungeon/dungeon_state.h"
#include "dungeon/dungeon.h"
#include "engine/state_table.h"

static void hashRun(StateHash& h, ChecksumScope) {
    const RunState& r = gRun;
    for (int32_t word : {r.dungeonIndex, r.runEndState, r.runEndTimer, r.specialMusicTimer, r.bossRushCourse,
                         r.bossRushBattle, r.gatePrompt, r.gateIsReturn, r.gateGuard, r.equipPrompt, r.switchCutTimer,
                         r.hitStopTimer, r.hitStopInput, r.slowMotionTimer, r.floorIntroTimer, r.floorTime,
                         r.lastHitTimer, r.playerControl, r.trailDue})
        h.i32(word);
}

static void hashFieldEvents(StateHash& h, ChecksumScope) { h.i32(gFieldEvents.fallTimer); }

static const StateRow ROWS[] = {
    stateRow<gRun>("run", resetFieldFrameState, hashRun),
    stateRow<gFieldEvents>("field events", resetFieldEventState, hashFieldEvents),
    stateRow<gFloorGrid, gPlacedBlocks, gBreakableObjects, gLayoutCells>("floor map", resetFloorMap, nullptr),
    stateRow<gEnemies, gEnemySpawnState>("enemies", resetEnemyPool, nullptr),
    stateRow<gDropOdds>("drop odds", resetDropOdds, nullptr),
    stateRow<gFloorObjects, gSwitchRegistry>("floor objects", resetFloorObjects, nullptr),
    stateRow<gPickups>("pickups", resetPickups, nullptr),
    stateRow<gFloorStatus, gNumberPopups>("floor status", resetFloorStatus, nullptr),
    stateRow<gFloorPlan>("floor generator", resetFloorGenerator, nullptr),
    stateRow<gFloorStart>("floor start", resetFloorStart, nullptr),
    stateRow<gFloorScript>("fixed floors", resetFixedFloors, nullptr),
    stateRow<gFloorConditionList, gConditionBanner>("floor conditions", resetFloorConditions, nullptr),
    stateRow<gDepartureScreen>("departure", resetDepartureScreen, hashWords<gDepartureScreen>),
};
const StateTable DUNGEON_STATE = {"dungeon", ROWS, (int32_t)(sizeof ROWS / sizeof ROWS[0])};
