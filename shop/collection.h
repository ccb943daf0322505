// shop/collection.h: the item collection, the record of every item the shop
// has held (kept in the running game's collection entries).
#pragma once
#include <cstdint>

// Marks an item as seen; storage calls it for every item it takes in.
void registerItemSeen(int32_t itemKey);
// 1 once the item has been held in the running game.
int32_t isItemSeen(int32_t itemKey);
