#include "story/field_menu.h"

// The menu arrives with the field menu.
void openFieldMenu() {}
void updateFieldMenu() {}
void drawFieldMenu() {}
void drawStatCompare(float, float, int32_t, int32_t, int32_t) {}

int32_t gMenuUsedItems[MENU_USED_ITEMS_MAX];
int32_t gMenuItemUsed;

void resetFieldMenuState() {
    for (int32_t& key : gMenuUsedItems) key = -1;
    gMenuItemUsed = 0;
}

// The optimum-equipment sort arrives with the field menu's equipment page.
void sortBagByStats() {}
