#include "story/story.h"
#include "story/story_state.h"

// The menu arrives with the field menu.
void openFieldMenu() {}
void updateFieldMenu() {}
void drawFieldMenu() {}
void drawStatCompare(float, float, int32_t, int32_t, int32_t) {}

FieldMenuState gFieldMenu;

int32_t takeMenuUsedItem() {
    if (gFieldMenu.menuItemUsed != 1) return -1;
    for (int32_t& key : gFieldMenu.menuUsedItems) {
        if (key == -1) continue;
        int32_t taken = key;
        key = -1;
        return taken;
    }
    gFieldMenu.menuItemUsed = 0;
    return -1;
}

void resetFieldMenuState() {
    for (int32_t& key : gFieldMenu.menuUsedItems) key = -1;
    gFieldMenu.menuItemUsed = 0;
}

// The optimum-equipment sort arrives with the field menu's equipment page.
void sortBagByStats() {}
