// shop/collection.h: the item collection, the record of every item the shop
// has held (kept in the running game's collection entries).
#pragma once
#include <cstdint>

// Marks an item as seen; storage calls it for every item it takes in.
void registerItemSeen(int32_t itemKey);
