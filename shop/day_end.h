// shop/day_end.h: the end-of-day report and the item choice, shown as
// overlay screens, and the loading band drawn under them.
#pragma once
#include <cstdint>

#include "engine/save_file.h"

constexpr int32_t CHOSEN_ITEMS_MAX = 3;

// The item choice after a defeat: the items kept and the column's cursor.
struct ItemChoiceState {
    int32_t chosenItems[CHOSEN_ITEMS_MAX];   // ItemKeys, -1 empty
    int32_t cursor;                          // 0 "Confirm", 1..n a slot
};
extern ItemChoiceState gItemChoice;
// Back to the values a fresh process starts with: nothing chosen.
void resetItemChoiceState();
// The slots a defeated run may keep at this merchant level: 1, 2 from 15, 3 from 49.
int32_t itemChoiceSlots(int32_t merchantLevel);

// A new day starts counting: the money it starts from, no score, empty logs.
// The report's leaving and the carry-over into a new loop run it.
void resetDayCounters(GameState& game);

void openDayReport();
void startItemChoice();
void updateDayReport();
void updateItemChoice();
void drawDayReport();
void drawItemChoice();
void drawLoadingBand();
