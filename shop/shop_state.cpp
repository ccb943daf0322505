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
};
const StateTable SHOP_STATE = {"shop", ROWS, (int32_t)(sizeof ROWS / sizeof ROWS[0])};
