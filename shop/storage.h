// shop/storage.h: the shop's storage, the packed list of ItemKeys inside the
// running game (storage, storageCount), and the rules that decide whether an
// adventurer can use or equip an item. Main thread, during play.
#pragma once
#include <cstdint>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "shop/shop.h"

// The array holds 20,000 keys (STORAGE_ENTRY_COUNT); the screens that add
// items keep below it.
constexpr int32_t STORAGE_TRADE_LIMIT = 15000;       // buying stops, sellers are turned away

// Per adventurer, the subcategory ids she can equip, ended by -1; the first
// is her main weapon kind.
constexpr int32_t EQUIP_KIND_MAX = 20;
extern const int32_t ADVENTURER_EQUIP_KINDS[ADVENTURER_COUNT][EQUIP_KIND_MAX];

// Removes up to count items of the id, one per pass, each time preferring the
// plus level equal to the budget, else the lowest above it, else the highest
// below it; the budget falls by each removed plus level (not below 0) and is
// returned.
int32_t removeItemsFromStorage(int32_t id, int32_t count, int32_t plusBudget);

// Purchases that still fit below the trade limit (0: buying is refused).
int32_t storagePurchaseRoom(int32_t stored);
// A customer who comes to sell is turned away.
bool storageTurnsSellersAway(int32_t stored);
