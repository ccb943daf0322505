// shop/day_end.h: the end-of-day report and the item choice, shown as
// overlay screens, and the loading band drawn under them.
#pragma once

#include "engine/save_file.h"

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
