// adventurers/bag.h: the items inside the folder: what acts while worn,
// pick-up, the damage voice, heals. The bag itself and its services are in
// adventurers/adventurers.h and adventurers/adventurers_state.h.
#pragma once
#include <cstdint>

#include "adventurers/adventurers_state.h"

// Items that act on their own while worn, pick-up, the adventurer's damage
// voice and heals. An item counts as worn when one of the chosen
// adventurer's five equipment slots holds its id.
bool isItemEquipped(int32_t itemId);
// 0 when the item is not worn, else 1: it acts (effect, sound, the fairy's
// balloon, hit-stop) and breaks with chance 1/breakDivisor into item 2501,
// announced by announceBrokenItem 29 ticks later.
int32_t tryItemEffect(int32_t itemId, int32_t breakDivisor, int32_t hitStop);
// Takes the party's nearest pickup: a gem into the gem queue, an item into
// the bag, or with the bag full the fairy's complaint (the item stays).
void pickUpNearest();
// The filled usable entries plus the items rising into the bag reach
// gBagCapacity.
bool isBagFull();
void playDamageVoice(int32_t fatal);
// The HP or SP actually gained; HP rises only while above 0.
int32_t healHp(int32_t amount, int32_t popup);
int32_t healSp(int32_t amount, int32_t popup);
void announceBrokenItem();
