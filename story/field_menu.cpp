#include "story/field_menu.h"

// The menu arrives with the field menu.
void openFieldMenu() {}
void updateFieldMenu() {}
void drawFieldMenu() {}
void drawStatCompare(float, float, int32_t, int32_t, int32_t) {}

// The optimum-equipment sort arrives with the field menu's equipment page.
void sortBagByStats() {}
