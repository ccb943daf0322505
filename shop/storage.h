// shop/storage.h: the shop's storage, the packed list of ItemKeys inside the
// running game (storage, storageCount), and the rules that decide whether an
// adventurer can use or equip an item. Main thread, during play.
#pragma once
#include <cstdint>

#include "adventurers/adventurers.h"

// The array holds 20,000 keys (STORAGE_ENTRY_COUNT); the screens that add
// items keep below it.
constexpr int32_t STORAGE_TRADE_LIMIT = 15000;       // buying stops, sellers are turned away
constexpr int32_t STORAGE_DEPARTURE_LIMIT = 14970;   // leaves room for the returning bag

// Per adventurer, the subcategory ids she can equip, ended by -1; the first
// is her main weapon kind.
constexpr int32_t EQUIP_KIND_MAX = 20;
extern const int32_t ADVENTURER_EQUIP_KINDS[ADVENTURER_COUNT][EQUIP_KIND_MAX];

// Registers the item as seen, then stores it in the first free entry; -1 is
// ignored and a full storage stores nothing.
void addItemToStorage(int32_t key);
// Removes the first entry holding exactly this key, moving the later entries
// down; 1 when removed, 0 when absent (or -1).
int32_t removeStorageKey(int32_t key);
// Removes up to count items of the id, one per pass, each time preferring the
// plus level equal to the budget, else the lowest above it, else the highest
// below it; the budget falls by each removed plus level (not below 0) and is
// returned.
int32_t removeItemsFromStorage(int32_t id, int32_t count, int32_t plusBudget);
// Stored items of the id, any plus level or flags; 0 for -1.
int32_t countItemInStorage(int32_t id);
// Entries that are not -1.
int32_t countStoredItems();
// A game's storageCount kept inside the storage: a slot of the file image may
// hold any value there.
int32_t storedEntryCount(const GameState& game);

// Purchases that still fit below the trade limit (0: buying is refused).
int32_t storagePurchaseRoom(int32_t stored);
// A customer who comes to sell is turned away.
bool storageTurnsSellersAway(int32_t stored);
// The party may leave for the dungeon.
bool storageAllowsDeparture(int32_t stored);

// 1 when the item's user mask has the adventurer and its subcategory is one
// she can equip.
int32_t canAdventurerUseItem(int32_t key, int32_t adventurer);
// Whether the adventurer may put the item into equipment slot 0..4 (0 the
// main weapon), or with slot -1 use it at all. Adventurer -1: always.
int32_t canEquip(int32_t adventurer, int32_t slot, int32_t key);
// Every adventurer gets back the equipment saved at departure.
void restoreEquipment();
