// shop/collection.h: the item collection, the record of every item the shop
// has held (kept in the running game's collection entries), and the screen
// that shows it category by category.
#pragma once
#include <cstdint>

// Marks an identified item as seen in the running game; with every item of
// the table seen, story flag 200 is raised (while flag 201 is clear).
// Unidentified keys and items past the 64 marks of a category change nothing.
void registerItemSeen(int32_t itemKey);
// 1 once the item has been held in the running game.
int32_t isItemSeen(int32_t itemKey);
// The completion rate shown: trunc(seen / total x 100), at least 1 once
// anything is seen, 0 with nothing to see.
int32_t collectionRate(int32_t seen, int32_t total);
