// adventurers/bag.h: the items inside the folder: what acts while worn,
// pick-up, the damage voice, heals. The bag itself and its services are in
// adventurers/adventurers.h and adventurers/adventurers_state.h.
#pragma once
#include <cstdint>

#include "adventurers/adventurers_state.h"

// Items that act on their own while worn, pick-up, the adventurer's damage
// voice, heals and the speech balloon over a member. Until their effects
// arrive: an item counts as worn when one of the chosen adventurer's five
// equipment slots holds its id, and the rest does nothing.
bool isItemEquipped(int32_t itemId);
// 0 when the item is not worn, else 1.
int32_t tryItemEffect(int32_t itemId, int32_t breakDivisor, int32_t hitStop);
void pickUpNearest();
// No usable entry of the bag (the first gBagCapacity) is empty.
bool isBagFull();
void playDamageVoice(int32_t fatal);
// The HP or SP actually gained.
int32_t healHp(int32_t amount, int32_t popup);
int32_t healSp(int32_t amount, int32_t popup);
void announceBrokenItem();
