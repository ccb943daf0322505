// The adventurers' rows of the game's state registry.
#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "adventurers/bag.h"
#include "adventurers/balloon.h"
#include "adventurers/dungeon_control.h"
#include "adventurers/motion.h"
#include "adventurers/party.h"
#include "adventurers/shop_floor.h"
#include "adventurers/shop_grid.h"
#include "engine/state_table.h"
#include "shop/shop_state.h"

static void hashShopFloor(StateHash& h, ChecksumScope) {
    h.i32(gShopFloorState);
    for (int32_t v : {gShopEditMode, gSelectedShelf, gShopMenuSlide, gShopMenuDelay, gShopMenuCursor[0],
                      gLeavingShop, gMorningGreeting, gNightTalkVariant, gShopActionTimer[0], gShopActionTimer[1]})
        h.i32(v);
}

static void resetShopFloorWords() {
    resetShopDayState();
    resetShopFloorBootState();
}

static void hashMotion(StateHash& h, ChecksumScope) {
    h.i32(gAutoWalk);
    h.i32(gFairyWander.phase);
    h.i32(gFairyWander.ticks);
    h.f32(gFairyWander.targetX);
    h.f32(gFairyWander.targetZ);
}

static const StateRow ROWS[] = {
    resetRow("attack objects", resetAttackObjects),
    stateRow<gShopFloorState, gShopEditMode, gSelectedShelf, gShopMenuSlide,
             gShopMenuDelay, gShopMenuCursor, gLeavingShop, gMorningGreeting, gNightTalkVariant, gShopActionTimer>(
        "shop floor", resetShopFloorWords, hashShopFloor),
    stateRow<gShopAtmosphere, gShopGrid, gShelfCarry>("shop grid", resetShopGridState,
                                                       hashWords<gShopAtmosphere, gShopGrid, gShelfCarry>),
    stateRow<gBag, gBagCapacity, gBagAtDeparture>("bag", resetBagState, hashWords<gBag, gBagCapacity, gBagAtDeparture>),
    resetRow("balloon", resetBalloonState),
    resetRow("party", resetPartyState),
    stateRow<gAutoWalk, gFairyWander>("motion", resetMotionState, hashMotion),
    resetRow("dungeon control", resetDungeonControlState),
};
extern const StateTable ADVENTURERS_STATE;   // read by the game's registry
const StateTable ADVENTURERS_STATE = {"adventurers", ROWS, (int32_t)(sizeof ROWS / sizeof ROWS[0])};
