#include "shop/day_end.h"

// The report and the item choice arrive with the end of day.
void openDayReport() {}
void startItemChoice() {}
void updateDayReport() {}
void updateItemChoice() {}
void drawDayReport() {}
void drawItemChoice() {}
void drawLoadingBand() {}
