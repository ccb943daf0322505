#include "adventurers/bag.h"

#include "shop/item_db.h"

int32_t gBag[BAG_SIZE];
int32_t gBagCapacity;

int32_t bagCapacityForLevel(int32_t merchantLevel) {
    if (merchantLevel >= 39) return 35;
    if (merchantLevel >= 23) return 30;
    if (merchantLevel >= 16) return 25;
    return 20;
}

int32_t addToBag(int32_t key, int32_t capacity) {
    int32_t n = capacity < BAG_SIZE ? capacity : BAG_SIZE;
    for (int32_t i = 0; i < n; ++i) {
        if (gBag[i] != ITEM_KEY_NONE) continue;
        gBag[i] = key;
        return 1;
    }
    return 0;
}

void emptyBag() {
    for (int32_t& key : gBag) key = ITEM_KEY_NONE;
}

void resetBagState() {
    emptyBag();
    gBagCapacity = BAG_SIZE;
}
