#include "adventurers/bag.h"

int32_t gBag[BAG_ENTRY_COUNT];
int32_t gBagCapacity;

void resetBagState() {
    for (int32_t& key : gBag) key = -1;
    gBagCapacity = BAG_ENTRY_COUNT;
}
