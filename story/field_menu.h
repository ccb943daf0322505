// story/field_menu.h: the pause menu's content.
#pragma once
#include <cstdint>

void openFieldMenu();
void updateFieldMenu();
void drawFieldMenu();
// The counter's comparison panel: "Attack", "Defense", "Magic", "MDef" of
// what the adventurer wears in the slot against the item key.
void drawStatCompare(float x, float y, int32_t slot, int32_t adventurer, int32_t itemKey);

// Items thrown away in the menu during a dungeon run, for the dungeon
// control to scatter as pickups: 20 keys, -1 empty; the flag is 1 while
// any are waiting.
constexpr int32_t MENU_USED_ITEMS_MAX = 20;
extern int32_t gMenuUsedItems[MENU_USED_ITEMS_MAX];
extern int32_t gMenuItemUsed;
// Back to the values a fresh process starts with.
void resetFieldMenuState();

// Moves the best bag items the chosen adventurer can equip into the
// equipment, then packs the bag.
void sortBagByStats();
