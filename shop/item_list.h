// shop/item_list.h: the one item list every screen opens to pick an item: a
// paged, sorted view of storage, the bag or the market's wares, one page per
// item category, with a cursor per page, the information popup's state and
// the side panel's messages. Opening a list replaces the previous one.
// A screen calls openItemList, then handleItemListInput once per tick while
// the list has the focus, and reads the selected entry; stepItemListSlide
// runs every tick. Main thread only.
#pragma once
#include <cstdint>

#include "engine/save_file.h"
#include "shop/shop.h"

// Pseudo keys that stand in entries and in gItemList.infoItemKey.
constexpr int32_t ITEM_KEY_LIST_ROW = -1;          // a page's "Nothing" or "Rearrange" row
constexpr int32_t ITEM_KEY_EQUIP_OPTIMUM = -2;     // "Equip Optimum Items"
constexpr int32_t ITEM_KEY_FUSION_UNKNOWN = -6;    // a fusion product not yet known

// The entry under the cursor; -1 and 0 on a page without entries.
int32_t getSelectedListItemCount();
// A market row of 1..99 on offer gives up one, and so does the item's stock.
void takeOneFromSelectedStack();
// The first page whose first real entry the adventurer can wield as main
// weapon, else page 0.
void selectFirstEquippablePage(int32_t adventurer);

void setInfoPriceFactor(float factor);

// The pointer on the cursor row: at once, or gliding.
void snapListCursor();

// The list's sort key of an item: by category, then sort number, then key;
// an unidentified key sorts as if its id were 16 higher, without its flags.
int32_t itemListSortKey(int32_t key);
// The bag's rearrangement: identified items first in sort-key order, the
// unidentified after them; empty entries keep their places.
void rearrangeBag(int32_t* bag, int32_t capacity);
