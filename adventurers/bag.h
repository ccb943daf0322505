// adventurers/bag.h: the adventurer's bag on a run: 38 item keys (-1 empty,
// kept packed from the first entry), of which the first gBagCapacity are
// usable. The departure screen packs it, the title empties it when a game
// starts, the dungeon fills it and the item choice brings it back.
#pragma once
#include <cstdint>

constexpr int32_t BAG_SIZE = 38;

extern int32_t gBag[BAG_SIZE];
extern int32_t gBagCapacity;
// The bag as packed at the departure screen (items taken from storage);
// the item choice strikes off each key that comes back.
extern int32_t gBagAtDeparture[BAG_SIZE];

// The usable entries a merchant of this 0-based level may carry: 20, then
// 25 from level 16, 30 from 23 and 35 from 39.
int32_t bagCapacityForLevel(int32_t merchantLevel);
// Stores key in the first empty of the first capacity entries; 1 when
// stored, 0 when none of them is empty.
int32_t addToBag(int32_t key, int32_t capacity);
// Every entry empty.
void emptyBag();
// Back to the values a fresh process starts with: empty, all 38 usable,
// nothing packed at departure.
void resetBagState();

// Items that act on their own while worn, pick-up, the adventurer's damage
// voice, heals and the speech balloon over a member. Until their effects
// arrive: an item counts as worn when one of the chosen adventurer's five
// equipment slots holds its id, and the rest does nothing.
bool isItemEquipped(int32_t itemId);
// 0 when the item is not worn, else 1.
int32_t tryItemEffect(int32_t itemId, int32_t breakDivisor, int32_t hitStop);
void pickUpNearest();
void playDamageVoice(int32_t fatal);
// Member 0 takes amount of HP damage (hit resolution, falls). Until the
// voice and the last-chance items arrive only the HP falls.
void applyDamageToPlayer(int32_t amount);
// The HP or SP actually gained.
int32_t healHp(int32_t amount, int32_t popup);
int32_t healSp(int32_t amount, int32_t popup);
void announceBrokenItem();
