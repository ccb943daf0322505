#include "shop/storage.h"

#include <algorithm>

#include "engine/save_file.h"
#include "shop/collection.h"
#include "shop/item_db.h"

const int32_t ADVENTURER_EQUIP_KINDS[ADVENTURER_COUNT][EQUIP_KIND_MAX] = {
    {1, 9, 11, 12, 14, 13, 15, 16, 18, 17, 22, 20, -1},
    {2, 9, 11, 13, 15, 18, 21, 22, 20, -1},
    {3, 9, 10, 13, 15, 19, 18, 21, 17, 22, 20, -1},
    {4, 9, 11, 13, 15, 19, 18, 17, 22, 20, -1},
    {5, 9, 10, 13, 15, 18, 21, 17, 22, 20, -1},
    {6, 9, 11, 12, 14, 13, 15, 16, 19, 18, 22, 20, -1},
    {7, 9, 10, 11, 15, 18, 21, 22, 20, -1},
    {84, 9, 11, 12, 15, 16, 19, 18, 22, 20, -1},
};

// Takes entry i out: the later entries move down and the last becomes free.
static void removeStorageEntry(GameState& game, int32_t i) {
    for (int32_t j = i; j < STORAGE_ENTRY_COUNT - 1; j++) game.storage[j] = game.storage[j + 1];
    game.storage[STORAGE_ENTRY_COUNT - 1] = ITEM_KEY_NONE;
    game.storageCount--;
}

int32_t addItemToStorage(int32_t key) {
    if (key == ITEM_KEY_NONE) return 0;
    registerItemSeen(key);
    GameState& game = runningGameState();
    for (int32_t i = 0; i < STORAGE_ENTRY_COUNT; i++) {
        if (game.storage[i] == ITEM_KEY_NONE) {
            game.storage[i] = key;
            game.storageCount++;
            return 1;
        }
    }
    return 0;
}

int32_t removeStorageKey(int32_t key) {
    if (key == ITEM_KEY_NONE) return 0;
    GameState& game = runningGameState();
    for (int32_t i = 0; i < STORAGE_ENTRY_COUNT; i++) {
        if (game.storage[i] == key) {
            removeStorageEntry(game, i);
            return 1;
        }
    }
    return 0;
}

int32_t removeItemsFromStorage(int32_t id, int32_t count, int32_t plusBudget) {
    GameState& game = runningGameState();
    for (int32_t pass = 0; pass < count; pass++) {
        int32_t exact = -1;
        int32_t above = -1;   // lowest plus level above the budget
        int32_t below = -1;   // highest plus level below it
        for (int32_t i = 0; i < STORAGE_ENTRY_COUNT && exact < 0; i++) {
            int32_t key = game.storage[i];
            if (key == ITEM_KEY_NONE || itemKeyId(key) != id) continue;
            int32_t plus = itemKeyPlus(key);
            if (plus == plusBudget) {
                exact = i;
            } else if (plus > plusBudget) {
                if (above < 0 || plus < itemKeyPlus(game.storage[above])) above = i;
            } else if (below < 0 || plus > itemKeyPlus(game.storage[below])) {
                below = i;
            }
        }
        int32_t chosen = exact >= 0 ? exact : above >= 0 ? above : below;
        if (chosen < 0) continue;
        int32_t plus = itemKeyPlus(game.storage[chosen]);
        removeStorageEntry(game, chosen);
        plusBudget = plusBudget - plus > 0 ? plusBudget - plus : 0;
    }
    return plusBudget;
}

int32_t countItemInStorage(int32_t id) {
    if (id == -1) return 0;
    const GameState& game = runningGameState();
    int32_t n = 0;
    for (int32_t i = 0; i < STORAGE_ENTRY_COUNT; i++) {
        int32_t key = game.storage[i];
        if (key != ITEM_KEY_NONE && itemKeyId(key) == id) n++;
    }
    return n;
}

int32_t storedEntryCount(const GameState& game) {
    return std::clamp(game.storageCount, 0, STORAGE_ENTRY_COUNT);
}

int32_t countStoredItems() {
    const GameState& game = runningGameState();
    int32_t n = 0;
    for (int32_t i = 0; i < STORAGE_ENTRY_COUNT; i++) {
        if (game.storage[i] != ITEM_KEY_NONE) n++;
    }
    return n;
}

int32_t storagePurchaseRoom(int32_t stored) { return stored < STORAGE_TRADE_LIMIT ? STORAGE_TRADE_LIMIT - stored : 0; }

bool storageTurnsSellersAway(int32_t stored) { return stored >= STORAGE_TRADE_LIMIT; }

bool storageAllowsDeparture(int32_t stored) { return stored <= STORAGE_DEPARTURE_LIMIT; }

static bool isValidAdventurer(int32_t adventurer) { return adventurer >= 0 && adventurer < ADVENTURER_COUNT; }

static bool adventurerEquipsKind(int32_t adventurer, int32_t subcategoryId) {
    for (int32_t k = 0; k < EQUIP_KIND_MAX && ADVENTURER_EQUIP_KINDS[adventurer][k] != -1; k++) {
        if (ADVENTURER_EQUIP_KINDS[adventurer][k] == subcategoryId) return true;
    }
    return false;
}

int32_t canAdventurerUseItem(int32_t key, int32_t adventurer) {
    if (!isValidAdventurer(adventurer)) return 0;
    int32_t row = findItemDef(itemKeyId(key));
    if (row < 0) return 0;
    const ItemDefinition& d = gItemDefinitions[row];
    return (d.userMask & (1 << adventurer)) && adventurerEquipsKind(adventurer, d.subcategoryId) ? 1 : 0;
}

int32_t canEquip(int32_t adventurer, int32_t slot, int32_t key) {
    if (adventurer == -1) return 1;
    if (key < 0) return 1;
    int32_t row = findItemDef(itemKeyId(key));
    if (row < 0) return 1;
    if (!isValidAdventurer(adventurer)) return 0;
    const ItemDefinition& d = gItemDefinitions[row];
    if (!(d.userMask & (1 << adventurer))) return 0;
    if (slot == 0 && d.subcategoryId != ADVENTURER_EQUIP_KINDS[adventurer][0]) return 0;
    bool usable = canAdventurerUseItem(key, adventurer) || (slot == -1 && d.subcategoryId == 0);
    if (!usable) return 0;
    if (slot == -1) return 1;
    // The same subcategory or slot group already worn in another slot.
    const int32_t* worn = runningGameState().adventurers[adventurer].equipment;
    for (int32_t j = 0; j < EQUIPMENT_SLOTS; j++) {
        if (j == slot) continue;
        int32_t wornRow = findItemDef(itemKeyId(worn[j]));
        if (wornRow >= 0 && isDifferentEquipSlot(gItemDefinitions[wornRow].subcategoryId, d.subcategoryId) == 0) return 0;
    }
    return 1;
}

void restoreEquipment() {
    GameState& game = runningGameState();
    for (AdventurerRecord& a : game.adventurers) {
        for (int32_t s = 0; s < EQUIPMENT_SLOTS; s++) a.equipment[s] = a.savedEquipment[s];
    }
}
