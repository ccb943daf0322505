// story/field_menu.h: the pause menu's content.
#pragma once
#include <cstdint>

void openFieldMenu();
void updateFieldMenu();
void drawFieldMenu();
// The counter's comparison panel: "Attack", "Defense", "Magic", "MDef" of
// what the adventurer wears in the slot against the item key.
void drawStatCompare(float x, float y, int32_t slot, int32_t adventurer, int32_t itemKey);

// Moves the best bag items the chosen adventurer can equip into the
// equipment, then packs the bag.
void sortBagByStats();
