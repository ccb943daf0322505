// shop/day_end.h: the end-of-day report and the item choice, shown as
// overlay screens, and the loading band drawn under them.
#pragma once

void openDayReport();
void startItemChoice();
void updateDayReport();
void updateItemChoice();
void drawDayReport();
void drawItemChoice();
void drawLoadingBand();
