#include "story/field_menu.h"

// The menu arrives with the field menu.
void openFieldMenu() {}
void updateFieldMenu() {}
void drawFieldMenu() {}
void drawStatCompare(float, float, int32_t, int32_t, int32_t) {}

int32_t gMenuUsedItems[MENU_USED_ITEMS_MAX];
int32_t gMenuItemUsed;

int32_t takeMenuUsedItem() {
    if (gMenuItemUsed != 1) return -1;
    for (int32_t& key : gMenuUsedItems) {
        if (key == -1) continue;
        int32_t taken = key;
        key = -1;
        return taken;
    }
    gMenuItemUsed = 0;
    return -1;
}

void resetFieldMenuState() {
    for (int32_t& key : gMenuUsedItems) key = -1;
    gMenuItemUsed = 0;
}

// The optimum-equipment sort arrives with the field menu's equipment page.
void sortBagByStats() {}
