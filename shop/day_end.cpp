#include "shop/day_end.h"

#include "dungeon/floor_start.h"
#include "shop/item_db.h"

ItemChoiceState gItemChoice;

void resetItemChoiceState() {
    gItemChoice = ItemChoiceState{};
    for (int32_t& key : gItemChoice.chosenItems) key = ITEM_KEY_NONE;
}

int32_t itemChoiceSlots(int32_t merchantLevel) { return merchantLevel >= 49 ? 3 : merchantLevel >= 15 ? 2 : 1; }

void resetDayCounters(GameState& game) {
    game.dayStartMoney = game.money;
    game.dayScore = 0;
    for (int32_t list = 0; list < DAY_LOG_COUNT; ++list) {
        game.dayLogCounts[list] = 0;
        for (int32_t& key : game.dayLogs[list]) key = ITEM_KEY_NONE;
    }
}

// The report and the item choice arrive with the end of day.
void openDayReport() {}
// The bag comes back from the run first; the rest of the item choice
// arrives with the end of day.
void startItemChoice() { settleBagOnReturn(); }
void updateDayReport() {}
void updateItemChoice() {}
void drawDayReport() {}
void drawItemChoice() {}
void drawLoadingBand() {}
