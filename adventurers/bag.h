// adventurers/bag.h: the adventurer's dungeon bag. The departure screen packs
// it from storage and sets its capacity, the dungeon fills it, the item lists
// show and rearrange it and the day's item choice empties it. Main thread.
#pragma once
#include <cstdint>

constexpr int32_t BAG_ENTRY_COUNT = 38;

extern int32_t gBag[BAG_ENTRY_COUNT];   // ItemKeys packed from the first entry, -1 empty
extern int32_t gBagCapacity;            // usable entries, at most BAG_ENTRY_COUNT

// Back to the values a fresh process starts with: empty, every entry usable.
void resetBagState();
