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

enum ItemListType : int32_t {
    ITEM_LIST_SHELF = 0,      // storage with a "Nothing" row: stocking a shelf, packing the bag
    ITEM_LIST_DELIVERY = 1,   // storage and the shelves (no vending machines), "Nothing" row: orders
    ITEM_LIST_FLOORS = 2,     // the decoration kinds (shop/decorations.h)
    ITEM_LIST_WALLS = 3,
    ITEM_LIST_RUGS = 4,
    ITEM_LIST_STORAGE = 5,    // all of storage: selling, the menu outside the dungeon
    ITEM_LIST_BAG = 6,        // the bag with a "Rearrange" row
    ITEM_LIST_MARKET = 7,     // the market's or guild's wares
    ITEM_LIST_TABLES = 8,
    ITEM_LIST_TUTORIAL = 10,  // the counter tutorial's fixed list
};

// handleItemListInput results.
enum ItemListResult : int32_t {
    ITEM_LIST_IDLE = 0,
    ITEM_LIST_CHOSEN = 1,       // the confirm flash ended: act on the selected entry
    ITEM_LIST_CANCELLED = 2,
    ITEM_LIST_CONFIRMED = 3,    // confirm pressed (the flash starts when allowed)
    ITEM_LIST_REARRANGED = 4,   // the bag was rearranged
};

// Pseudo keys that stand in entries and in gItemList.infoItemKey.
constexpr int32_t ITEM_KEY_LIST_ROW = -1;          // a page's "Nothing" or "Rearrange" row
constexpr int32_t ITEM_KEY_EQUIP_OPTIMUM = -2;     // "Equip Optimum Items"
constexpr int32_t ITEM_KEY_FUSION_UNKNOWN = -6;    // a fusion product not yet known

constexpr int32_t ITEM_LIST_PAGE_MAX = 100;        // item ids < 10,000: at most 100 categories
constexpr int32_t ITEM_LIST_VISIBLE_ROWS = 7;
constexpr int32_t ITEM_LIST_SLIDE_TICKS = 5;
constexpr int32_t ITEM_LIST_FLASH_TICKS = 6;
constexpr int32_t ITEM_LIST_SHELF_PLACES = SHELF_ROWS * SHELF_CELLS;
// Room for every candidate a list can have (all of storage and every shelf
// place, none merging) and a pseudo row on each page.
constexpr int32_t ITEM_LIST_ENTRY_MAX = STORAGE_ENTRY_COUNT + ITEM_LIST_SHELF_PLACES + ITEM_LIST_PAGE_MAX;

struct ItemListEntry {
    int32_t key;     // ItemKey, or ITEM_KEY_LIST_ROW
    int32_t count;   // equal items the row stands for; in the market the quantity on offer (100 unlimited)
};

struct ItemListState {
    int32_t type;                 // ItemListType
    int32_t open;                 // 1 while shown
    int32_t slide;                // 0..5; input is taken at 5
    int32_t pageCount;            // 0 for an empty list
    int32_t page;
    int32_t pageStart[ITEM_LIST_PAGE_MAX];
    int32_t pageSize[ITEM_LIST_PAGE_MAX];    // entries, the pseudo row included
    int32_t pageKey[ITEM_LIST_PAGE_MAX];     // first real key: titles the page
    int32_t scroll[ITEM_LIST_PAGE_MAX];      // entry shown in the top row
    int32_t cursor[ITEM_LIST_PAGE_MAX];      // entry under the cursor, 0..pageSize - 1
    int32_t savedScroll[ITEM_LIST_PAGE_MAX];
    int32_t savedCursor[ITEM_LIST_PAGE_MAX];
    int32_t savedPage;
    int32_t flash;                // ticks since a confirm, 0 none
    int32_t infoItemKey;          // what the side panel and the popup show; -1 none
    int32_t infoItemStock;        // stored items of that id; -1 to be counted
    float infoPriceFactor;        // applied to the side panel's price
    int32_t infoState;            // 0 closed, 1 opened from the list, 2..4 by a screen
    int32_t header;               // 0 none, 1 an empty shelf place, 2 a filled one
    int32_t equipAdventurer;      // rows are marked against this adventurer's slot; -1 none
    int32_t equipSlot;
    int32_t useTimer;             // side panel messages; they hold the list while running
    int32_t discardTimer;
    int32_t useValues[2];         // HP and SP change of the last use, -1 not applicable
    int32_t panelKey;             // nonzero: the use message says nothing could be recovered
    ItemListEntry entries[ITEM_LIST_ENTRY_MAX];   // each page's entries contiguous
};
extern ItemListState gItemList;

// Back to the values a fresh process starts with (closed and empty).
void resetItemListState();

// Builds the list of the type and shows it. With reset every page's scroll
// and cursor and the equip target are cleared; without, they are kept and
// clamped to the new pages.
void openItemList(int32_t type, int32_t reset);
// Once per tick while the list has the focus: an ItemListResult.
int32_t handleItemListInput(int32_t allowConfirm);

// The entry under the cursor; -1 and 0 on a page without entries.
int32_t getSelectedListItemKey();
int32_t getSelectedListItemCount();
// One item under the cursor leaves its source (the bag entry, or storage) and
// its row; a row whose count reaches 0 leaves the page.
void removeSelectedListItem();
// Puts the key into the entry under the cursor (count 1, 0 for -1) and into
// bag entry cursor - 1 when that is a usable bag entry; returns the old key.
int32_t replaceSelectedListItem(int32_t key);
// A market row of 1..99 on offer gives up one, and so does the item's stock.
void takeOneFromSelectedStack();
// Steps the cursor down to the first entry holding the key (at most 100
// steps, not past the last entry) and puts the pointer there.
void moveListCursorToItem(int32_t key);
// The first page whose first real entry the adventurer can wield as main
// weapon, else page 0.
void selectFirstEquippablePage(int32_t adventurer);
// Around an overlay screen that uses the list itself.
void saveItemListCursors();
void restoreItemListCursors();

void setItemListEquipTarget(int32_t adventurer, int32_t slot);
void setItemListHeader(int32_t kind);
void setInfoPriceFactor(float factor);
void showItemInfo(int32_t key);
void showSelectedItemInfo();
void openItemInfo(int32_t mode);   // 0..3
void closeItemInfo();
int32_t getItemInfoState();

int32_t getItemListType();
bool isItemListOpen();
void showItemList();
void hideItemList();
void snapItemListOpen();
void clearListBusy();
void stepItemListSlide();   // every tick: slides in while open, out while closed

void setItemUseResult(int32_t value, int32_t secondValue);
void startUseMessage();
void startDiscardMessage();
void clearItemMessages();

// The pointer on the cursor row: at once, or gliding.
void snapListCursor();
void placeListCursor();

// The list's sort key of an item: by category, then sort number, then key;
// an unidentified key sorts as if its id were 16 higher, without its flags.
int32_t itemListSortKey(int32_t key);
// The bag's rearrangement: identified items first in sort-key order, the
// unidentified after them; empty entries keep their places.
void rearrangeBag(int32_t* bag, int32_t capacity);
