#include "adventurers/bag.h"

#include "adventurers/party.h"
#include "engine/save_file.h"
#include "shop/shop.h"

int32_t gBag[BAG_SIZE];
int32_t gBagCapacity;
int32_t gBagAtDeparture[BAG_SIZE];

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

bool isBagFull() {
    int32_t n = gBagCapacity < BAG_SIZE ? gBagCapacity : BAG_SIZE;
    for (int32_t i = 0; i < n; ++i)
        if (gBag[i] == ITEM_KEY_NONE) return false;
    return true;
}

void emptyBag() {
    for (int32_t& key : gBag) key = ITEM_KEY_NONE;
}

void resetBagState() {
    emptyBag();
    gBagCapacity = BAG_SIZE;
    for (int32_t& key : gBagAtDeparture) key = ITEM_KEY_NONE;
}

bool isItemEquipped(int32_t itemId) {
    const AdventurerRecord& a = runningGameState().adventurers[gChosenAdventurer & 7];
    for (int32_t key : a.equipment)
        if (key != ITEM_KEY_NONE && key >> ITEM_KEY_ID_SHIFT == itemId) return true;
    return false;
}

int32_t tryItemEffect(int32_t itemId, int32_t, int32_t) { return isItemEquipped(itemId) ? 1 : 0; }
void pickUpNearest() {}
void playDamageVoice(int32_t) {}
void applyDamageToPlayer(int32_t amount) { gParty.hp -= (float)amount; }
int32_t healHp(int32_t, int32_t) { return 0; }
int32_t healSp(int32_t, int32_t) { return 0; }
void announceBrokenItem() {}
