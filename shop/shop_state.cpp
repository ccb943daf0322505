// shop/shop_state.cpp: the shop scene's words that the shop floor's control
// shares, and SHOP_STATE, the shop's rows of the game's state registry.
#include "shop/shop_state.h"

#include "engine/state_table.h"

int32_t gShopDayPhase;
int32_t gFieldTicks;
int32_t gShopSequence;

static void hashItemList(StateHash& h, ChecksumScope) {
    const ItemListState& list = gItemList;
    for (int32_t v : {list.type, list.open, list.slide, list.pageCount, list.page, list.savedPage, list.flash,
                      list.infoItemKey, list.infoItemStock, list.infoState, list.header, list.equipAdventurer,
                      list.equipSlot, list.useTimer, list.discardTimer})
        h.i32(v);
    h.f32(list.infoPriceFactor);
    h.record(list.pageStart);
    h.record(list.pageSize);
    h.record(list.pageKey);
    h.record(list.scroll);
    h.record(list.cursor);
    h.record(list.savedScroll);
    h.record(list.savedCursor);
    h.record(list.useValues);
    h.record(list.entries);
}

static void hashMotion(StateHash& h, const MotionState& m) {
    h.i32(m.motion);
    h.i32(m.keyIndex);
    h.i32(m.ticks);
    h.f32(m.keyTime);
    h.i32(m.direction);
}

static void hashCustomer(StateHash& h, const CustomerSlot& c) {
    hashMotion(h, c.motion);
    for (float v : {c.x, c.y, c.z, c.destX, c.destZ, c.velX, c.velZ, c.heading, c.scale, c.pace}) h.f32(v);
    for (int32_t v : {c.lineupIndex, c.modelRow, c.gx, c.gy, c.targetX, c.targetY, c.shelfSide, c.walkState,
                      c.walkTimer, c.stepsTaken, c.turnRight, c.stepDelay, c.gridHeading})
        h.i32(v);
}

static void hashFloorCustomers(StateHash& h, ChecksumScope) {
    const FloorCustomersState& f = gFloorCustomers;
    for (const CustomerSlot& c : f.slots) hashCustomer(h, c);
    h.record(f.lineup);
    for (int32_t v : {f.lineupCount, f.spawnTicks, f.nextLineup, f.nextWalker, f.crowdTicks, f.crowdStarted,
                      f.storyVisitClock, f.storyVisitBase, f.storyVisitStep})
        h.i32(v);
    for (const CrowdWalker& w : f.walkers) {
        hashMotion(h, w.motion);
        for (float v : {w.x, w.y, w.z, w.speed, w.stopX}) h.f32(v);
        for (int32_t v : {w.direction, w.modelRow, w.pauseTimer, w.stopMode, w.stopChance}) h.i32(v);
    }
    hashCustomer(h, f.visitor);
    for (const MotionState& m : f.visitorMotions) hashMotion(h, m);
    h.f32(f.riseX);
    h.f32(f.riseY);
}

static void resetDayEnd() {
    resetItemChoiceState();
    resetDayReportState();
}

void resetShopScene() {
    gShopDayPhase = 0;
    gFieldTicks = 0;
    gShopSequence = SHOP_SEQUENCE_NONE;
}

static const StateRow ROWS[] = {
    stateRow<gShopDayPhase, gShopSequence, gFieldTicks>("shop scene", resetShopScene,
                                                        hashWords<gShopDayPhase, gShopSequence, gFieldTicks>),
    stateRow<gCollection>("collection", resetCollectionScreen, hashWords<gCollection>),
    stateRow<gCounter>("counter", resetCounterState, hashWords<gCounter>),
    stateRow<gDayPlan>("day plan", resetDayPlan, hashWords<gDayPlan>),
    stateRow<gDayReport, gItemChoice, gDayEndUnpaid, gDayEndFinal>(
        "day end", resetDayEnd, hashWords<gDayReport, gItemChoice, gDayEndUnpaid, gDayEndFinal>),
    stateRow<gMarketMode, gMarket>("market", resetMarketState, hashWords<gMarketMode, gMarket>),
    stateRow<gItemList>("item list", resetItemListState, hashItemList),
    stateRow<gFloorCustomers>("floor customers", resetFloorCustomersState, hashFloorCustomers),
};
const StateTable SHOP_STATE = {"shop", ROWS, (int32_t)(sizeof ROWS / sizeof ROWS[0])};
