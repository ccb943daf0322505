// The adventurers' rows of the game's state registry: one per record, with
// its reset, what of it the run checksum hashes and the bytes a snapshot
// copies.
#include "adventurers/adventurers_state.h"

#include "engine/state_table.h"

static void hashShopFloor(StateHash& h, ChecksumScope) {
    h.i32(gShopFloor.shopFloorState);
    for (int32_t v : {gShopFloor.shopEditMode, gShopFloor.selectedShelf, gShopFloor.shopMenuSlide,
                      gShopFloor.shopMenuDelay, gShopFloor.shopMenuCursor[0], gShopFloor.leavingShop,
                      gShopFloor.morningGreeting, gShopFloor.nightTalkVariant, gShopFloor.shopActionTimer[0],
                      gShopFloor.shopActionTimer[1]})
        h.i32(v);
}

static void hashShopGrid(StateHash& h, ChecksumScope) {
    hashWord(h, gShopAtmosphere);
    hashWord(h, gShopGrid);
    hashWord(h, gShopPlacement.shelfCarry);
}

static void hashFollower(StateHash& h, ChecksumScope) {
    h.i32(gFollower.autoWalk);
    h.i32(gFollower.fairyWander.phase);
    h.i32(gFollower.fairyWander.ticks);
    h.f32(gFollower.fairyWander.targetX);
    h.f32(gFollower.fairyWander.targetZ);
}

static void hashAttackObjects(StateHash& h, ChecksumScope) {
    hashWord(h, gCombat);
    for (const AttackObject& a : gAttackObjects) {
        h.i32(a.kind);
        if (a.kind == 0) continue;
        h.i32(a.age);
        h.f32(a.position.x);
        h.f32(a.position.y);
        h.f32(a.position.z);
    }
}

static const StateRow ROWS[] = {
    stateRow<gAttackObjects, gCombat>("attack objects", resetAttackObjects, hashAttackObjects),
    stateRow<gShopFloor>("shop floor", resetShopFloorBootState, hashShopFloor),
    stateRow<gShopAtmosphere, gShopGrid, gShopPlacement>("shop grid", resetShopGridState, hashShopGrid),
    stateRow<gBag, gBagCapacity, gBagAtDeparture, gBrokenItemTimer, gBrokenItemKey>(
        "bag", resetBagState, hashWords<gBag, gBagCapacity, gBagAtDeparture, gBrokenItemTimer, gBrokenItemKey>),
    stateRow<gBalloon>("balloon", resetBalloonState, nullptr),
    stateRow<gParty, gChosenAdventurer, gSkillCounts, gSkillSlots>("party", resetPartyState, nullptr),
    stateRow<gFollower>("motion", resetMotionState, hashFollower),
    stateRow<gDungeonControl>("dungeon control", resetDungeonControlState, nullptr),
    stateRow<gTimeOut>("time out", resetTimeLimitState, nullptr),
};
const StateTable ADVENTURERS_STATE = {"adventurers", ROWS, (int32_t)(sizeof ROWS / sizeof ROWS[0])};
