#include "shop/item_list.h"

#include <algorithm>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "engine/dialogs.h"
#include "engine/input.h"
#include "engine/sound.h"
#include "shop/decorations.h"
#include "shop/item_db.h"
#include "shop/market_stock.h"
#include "shop/storage.h"
#include "story/story.h"

ItemListState gItemList;

constexpr float LIST_POINTER_X = 280.0f;
constexpr float LIST_POINTER_TOP = 96.0f;
constexpr float LIST_ROW_HEIGHT = 36.0f;
constexpr int32_t LIST_JUMP_ROWS = 6;
constexpr int32_t CLAMP_STEP_MAX = 1024;
constexpr int32_t SEEK_STEP_MAX = 100;
constexpr int32_t VENDING_FIRST_ID = 5201;
constexpr int32_t VENDING_LAST_ID = 5299;
constexpr int32_t UNIDENTIFIED_SORT_SHIFT = 16;   // ids an unidentified key sorts behind

// One item that may become a row, while a list is built.
struct ListCandidate {
    int32_t sortKey;
    int32_t order;      // gathering order: equal sort keys keep it
    int32_t key;
    int32_t category;
};
static ListCandidate sCandidates[STORAGE_ENTRY_COUNT + ITEM_LIST_SHELF_PLACES];
static int16_t sRowOfId[ITEM_ID_MAX + 1];         // findItemDef for the candidates of one build
static int32_t sMarketSortKeys[ITEM_DEFINITION_MAX];
static int32_t sMarketKeys[ITEM_DEFINITION_MAX];

void resetItemListState() {
    gItemList = ItemListState{};
    gItemList.infoItemKey = ITEM_KEY_NONE;
    gItemList.infoItemStock = -1;
    gItemList.infoPriceFactor = 1.0f;
    gItemList.equipAdventurer = -1;
    gItemList.useValues[0] = gItemList.useValues[1] = -1;
}

// --- sort keys ------------------------------------------------------------

static bool isUnidentified(int32_t key) { return (key & ITEM_KEY_UNIDENTIFIED) != 0; }

static const ItemDefinition* itemOfKey(int32_t key) {
    int32_t row = findItemDef(itemKeyId(key));
    return row < 0 ? nullptr : &gItemDefinitions[row];
}

// The arithmetic wraps as 32-bit ints do; keys from storage are never negative.
static int32_t sortKeyOf(int32_t key, int32_t category, int32_t sortNumber) {
    uint32_t s = (static_cast<uint32_t>(category) * 100u + 10u + static_cast<uint32_t>(sortNumber)) * 3200u +
                 static_cast<uint32_t>(key);
    int32_t sortKey = static_cast<int32_t>(s);
    if (!isUnidentified(key)) return sortKey;
    uint32_t shifted = static_cast<uint32_t>((sortKey >> 6) + UNIDENTIFIED_SORT_SHIFT) * 64u;
    return static_cast<int32_t>(shifted + static_cast<uint32_t>(sortKey % 16));
}

int32_t itemListSortKey(int32_t key) {
    const ItemDefinition* d = itemOfKey(key);
    return d ? sortKeyOf(key, d->category, d->sortNumber) : sortKeyOf(key, itemKeyId(key) / 100, 0);
}

// --- building -------------------------------------------------------------

static void buildRowLookup() {
    for (int16_t& row : sRowOfId) row = -1;
    for (int32_t r = std::min(gItemDefinitionCount, ITEM_DEFINITION_MAX) - 1; r >= 0; r--) {
        int32_t id = gItemDefinitions[r].id;
        if (id >= 0 && id <= ITEM_ID_MAX) sRowOfId[id] = static_cast<int16_t>(r);
    }
}

static int32_t rowOfKey(int32_t key) {
    int32_t id = itemKeyId(key);
    return id >= 0 && id <= ITEM_ID_MAX ? sRowOfId[id] : -1;
}

static bool passesFilter(int32_t type, int32_t key) {
    int32_t kind = decorationKindOfList(type);
    if (kind < 0) return true;
    int32_t id = itemKeyId(key);
    return id >= DECORATION_RANGES[kind].firstId && id <= DECORATION_RANGES[kind].lastId;
}

static void addCandidate(int32_t& count, int32_t key, int32_t sortKey) {
    int32_t row = rowOfKey(key);
    int32_t category = row >= 0 ? gItemDefinitions[row].category : itemKeyId(key) / 100;
    sCandidates[count] = ListCandidate{sortKey, count, key, category};
    count++;
}

static void addStoredCandidate(int32_t& count, int32_t key) {
    int32_t row = rowOfKey(key);
    int32_t sortKey = row >= 0 ? sortKeyOf(key, gItemDefinitions[row].category, gItemDefinitions[row].sortNumber)
                               : sortKeyOf(key, itemKeyId(key) / 100, 0);
    addCandidate(count, key, sortKey);
}

static int32_t gatherCandidates(int32_t type) {
    const GameState& game = runningGameState();
    int32_t count = 0;
    if (type == ITEM_LIST_MARKET) {
        int32_t wares = listMarketStock(sMarketSortKeys, sMarketKeys);
        for (int32_t i = 0; i < wares; i++) addCandidate(count, sMarketKeys[i], sMarketSortKeys[i]);
    } else {
        for (int32_t key : game.storage)
            if (key >= 0 && passesFilter(type, key)) addStoredCandidate(count, key);
        if (type == ITEM_LIST_DELIVERY) {
            for (const auto& row : game.shelves) {
                for (int32_t key : row) {
                    int32_t id = itemKeyId(key);
                    if (key >= 0 && (id < VENDING_FIRST_ID || id > VENDING_LAST_ID)) addStoredCandidate(count, key);
                }
            }
        }
    }
    std::sort(sCandidates, sCandidates + count, [](const ListCandidate& a, const ListCandidate& b) {
        return a.sortKey != b.sortKey ? a.sortKey < b.sortKey : a.order < b.order;
    });
    return count;
}

static bool hasPseudoRow(int32_t type) { return type == ITEM_LIST_SHELF || type == ITEM_LIST_DELIVERY; }

static int32_t offeredQuantity(int32_t key) { return marketOfferQuantity(rowOfKey(key)); }

static void buildBagPage() {
    ItemListState& s = gItemList;
    s.entries[0] = ItemListEntry{ITEM_KEY_LIST_ROW, 0};
    int32_t n = 1;
    for (int32_t key : gBag)
        if (key != ITEM_KEY_NONE) s.entries[n++] = ItemListEntry{key, 1};
    s.pageStart[0] = 0;
    s.pageSize[0] = n;
    s.pageCount = 1;
}

static void buildPages(int32_t type) {
    ItemListState& s = gItemList;
    int32_t count = gatherCandidates(type);
    int32_t written = 0;
    int32_t runStart = 0;   // first entry written for the current sort key
    for (int32_t i = 0; i < count; i++) {
        const ListCandidate& c = sCandidates[i];
        if (i == 0 || c.sortKey != sCandidates[i - 1].sortKey) runStart = written;
        // A category that shows up again after the 100th page stays on the last.
        bool newPage = i == 0 || c.category != sCandidates[i - 1].category;
        if (newPage && s.pageCount < ITEM_LIST_PAGE_MAX) {
            s.pageStart[s.pageCount] = written;
            s.pageSize[s.pageCount] = 0;
            s.pageCount++;
            if (hasPseudoRow(type)) {
                s.entries[written++] = ItemListEntry{ITEM_KEY_LIST_ROW, 0};
                s.pageSize[s.pageCount - 1]++;
            }
        }
        // Equal keys share a sort key, so a key written before stands in
        // this run of equal sort keys.
        int32_t same = -1;
        if (!isUnidentified(c.key)) {
            for (int32_t e = runStart; e < written && same < 0; e++)
                if (s.entries[e].key == c.key) same = e;
        }
        if (same >= 0) {
            s.entries[same].count++;
            continue;
        }
        int32_t quantity = type == ITEM_LIST_MARKET ? offeredQuantity(c.key) : 1;
        s.entries[written++] = ItemListEntry{c.key, quantity};
        s.pageSize[s.pageCount - 1]++;
    }
    if (s.pageCount == 0) {
        s.pageStart[0] = 0;
        if (hasPseudoRow(type)) {
            s.entries[0] = ItemListEntry{ITEM_KEY_LIST_ROW, 0};
            s.pageSize[0] = 1;
        }
    }
    int32_t keyOffset = hasPseudoRow(type) ? 1 : 0;
    for (int32_t p = 0; p < s.pageCount; p++) s.pageKey[p] = s.entries[s.pageStart[p] + keyOffset].key;
}

// Keeps a page's scroll and cursor on its entries after the page changed size.
static void clampPageCursor(int32_t p, int32_t& steps) {
    ItemListState& s = gItemList;
    int32_t n = s.pageSize[p];
    int32_t v = std::min(n, ITEM_LIST_VISIBLE_ROWS);
    while (s.scroll[p] > n - v && steps < CLAMP_STEP_MAX) {
        s.scroll[p]--;
        s.cursor[p]--;
        steps++;
    }
    while (s.cursor[p] >= v && s.cursor[p] <= ITEM_LIST_VISIBLE_ROWS - 1 && steps < CLAMP_STEP_MAX) {
        s.cursor[p]--;
        steps++;
    }
    // An empty page has no row to point at: its cursor waits on row 0, so the
    // page starts at its first row when it fills again.
    s.scroll[p] = std::max(s.scroll[p], 0);
    s.cursor[p] = std::max(s.cursor[p], s.scroll[p]);
}

void openItemList(int32_t type, int32_t reset) {
    ItemListState& s = gItemList;
    if (reset) {
        s.equipAdventurer = -1;
        s.equipSlot = 0;
    }
    listAvailableAdventurers();
    s.infoItemKey = ITEM_KEY_NONE;
    s.infoItemStock = -1;
    for (int32_t& size : s.pageSize) size = 0;
    s.infoPriceFactor = 1.0f;
    s.type = type;
    s.open = 1;
    s.flash = 0;
    s.header = 0;
    s.slide = 0;
    s.useTimer = 0;
    s.discardTimer = 0;
    for (ItemListEntry& e : s.entries) e = ItemListEntry{0, 0};
    if (reset) {
        for (int32_t p = 0; p < ITEM_LIST_PAGE_MAX; p++) s.scroll[p] = s.cursor[p] = 0;
    }
    s.pageCount = 0;
    buildRowLookup();
    if (type == ITEM_LIST_BAG) buildBagPage();
    else buildPages(type);
    if (s.page >= s.pageCount || s.page < 0) s.page = 0;
    if (!reset) {
        int32_t steps = 0;
        for (int32_t p = 0; p < ITEM_LIST_PAGE_MAX; p++) clampPageCursor(p, steps);
    } else {
        s.page = 0;
        if (s.pageSize[0] > 1 && s.entries[s.pageStart[0]].key == ITEM_KEY_LIST_ROW) s.cursor[0] = 1;
    }
    snapListCursor();
}

// --- the entry under the cursor ---------------------------------------------

// Index of the entry under the cursor; -1 when the page has none.
static int32_t selectedEntry() {
    const ItemListState& s = gItemList;
    int32_t p = s.page;
    if (p < 0 || p >= ITEM_LIST_PAGE_MAX) return -1;
    int32_t c = s.cursor[p];
    if (c < 0 || c >= s.pageSize[p]) return -1;
    return s.pageStart[p] + c;
}

int32_t getSelectedListItemKey() {
    int32_t e = selectedEntry();
    return e < 0 ? ITEM_KEY_NONE : gItemList.entries[e].key;
}

int32_t getSelectedListItemCount() {
    int32_t e = selectedEntry();
    return e < 0 ? 0 : gItemList.entries[e].count;
}

static int32_t bagCapacity() { return std::clamp(gBagCapacity, 0, BAG_SIZE); }

// Takes the c-th non-empty bag entry (c from 1) out; the later ones move up.
static void removeBagItem(int32_t c) {
    int32_t seen = 0;
    for (int32_t i = 0; i < BAG_SIZE; i++) {
        if (gBag[i] == ITEM_KEY_NONE || ++seen != c) continue;
        for (int32_t j = i; j < BAG_SIZE - 1; j++) gBag[j] = gBag[j + 1];
        gBag[BAG_SIZE - 1] = ITEM_KEY_NONE;
        return;
    }
}

void removeSelectedListItem() {
    ItemListState& s = gItemList;
    int32_t e = selectedEntry();
    // The pseudo row stands for no item.
    if (e < 0 || s.entries[e].key < 0) return;
    int32_t p = s.page;
    if (s.type == ITEM_LIST_BAG) removeBagItem(s.cursor[p]);
    else removeStorageKey(s.entries[e].key);
    if (--s.entries[e].count > 0) return;
    int32_t last = s.pageStart[p] + s.pageSize[p] - 1;
    for (int32_t i = e; i < last; i++) s.entries[i] = s.entries[i + 1];
    s.entries[last] = ItemListEntry{ITEM_KEY_LIST_ROW, 0};
    s.pageSize[p]--;
    if (s.cursor[p] == 0) return;
    if (s.scroll[p] > 0 && s.pageSize[p] < s.scroll[p] + ITEM_LIST_VISIBLE_ROWS) s.scroll[p]--;
    if (s.cursor[p] >= s.pageSize[p]) s.cursor[p]--;
}

int32_t replaceSelectedListItem(int32_t key) {
    ItemListState& s = gItemList;
    int32_t e = selectedEntry();
    if (e < 0) return ITEM_KEY_NONE;
    int32_t old = s.entries[e].key;
    s.entries[e] = ItemListEntry{key, key == ITEM_KEY_NONE ? 0 : 1};
    int32_t bagIndex = s.cursor[s.page] - 1;
    if (bagIndex >= 0 && bagIndex < bagCapacity()) gBag[bagIndex] = key;
    return old;
}

void takeOneFromSelectedStack() {
    int32_t e = selectedEntry();
    if (e < 0) return;
    ItemListEntry& entry = gItemList.entries[e];
    if (entry.count < 1 || entry.count >= MARKET_UNLIMITED) return;
    entry.count--;
    int32_t row = findItemDef(itemKeyId(entry.key));
    if (row >= 0) runningGameState().marketStock[row].stock--;
}

void moveListCursorToItem(int32_t key) {
    ItemListState& s = gItemList;
    int32_t p = s.page;
    int32_t n = s.pageSize[p];
    int32_t v = std::min(n, ITEM_LIST_VISIBLE_ROWS);
    for (int32_t step = 0; step < SEEK_STEP_MAX; step++) {
        int32_t c = s.cursor[p];
        if (c < 0 || c >= n - 1 || s.entries[s.pageStart[p] + c].key == key) break;
        s.cursor[p]++;
        if (s.cursor[p] - s.scroll[p] > v - 1) s.scroll[p]++;
    }
    snapListCursor();
}

void selectFirstEquippablePage(int32_t adventurer) {
    ItemListState& s = gItemList;
    s.page = 0;
    for (int32_t p = 0; p < s.pageCount; p++) {
        int32_t first = s.pageStart[p];
        int32_t end = first + s.pageSize[p];
        while (first < end && s.entries[first].key < 0) first++;
        if (first < end && canEquip(adventurer, 0, s.entries[first].key)) {
            s.page = p;
            return;
        }
    }
}

void saveItemListCursors() {
    ItemListState& s = gItemList;
    std::copy(s.scroll, s.scroll + ITEM_LIST_PAGE_MAX, s.savedScroll);
    std::copy(s.cursor, s.cursor + ITEM_LIST_PAGE_MAX, s.savedCursor);
    s.savedPage = s.page;
}

void restoreItemListCursors() {
    ItemListState& s = gItemList;
    std::copy(s.savedScroll, s.savedScroll + ITEM_LIST_PAGE_MAX, s.scroll);
    std::copy(s.savedCursor, s.savedCursor + ITEM_LIST_PAGE_MAX, s.cursor);
    s.page = s.savedPage;
    snapListCursor();
    showSelectedItemInfo();
}

// --- small accessors ------------------------------------------------------

void setItemListEquipTarget(int32_t adventurer, int32_t slot) {
    gItemList.equipAdventurer = adventurer;
    gItemList.equipSlot = slot;
}
void setItemListHeader(int32_t kind) { gItemList.header = kind; }
void setInfoPriceFactor(float factor) { gItemList.infoPriceFactor = factor; }

void showItemInfo(int32_t key) {
    gItemList.infoItemKey = key;
    gItemList.infoItemStock = countItemInStorage(itemKeyId(key));
}
void showSelectedItemInfo() { showItemInfo(getSelectedListItemKey()); }

void openItemInfo(int32_t mode) { gItemList.infoState = mode + 1; }
void closeItemInfo() { gItemList.infoState = 0; }
int32_t getItemInfoState() { return gItemList.infoState; }

int32_t getItemListType() { return gItemList.type; }
bool isItemListOpen() { return gItemList.open != 0; }
void showItemList() { gItemList.open = 1; }
void hideItemList() { gItemList.open = 0; }
void snapItemListOpen() { gItemList.slide = ITEM_LIST_SLIDE_TICKS; }
void clearListBusy() { gItemList.flash = 0; }

void stepItemListSlide() {
    ItemListState& s = gItemList;
    if (s.open) s.slide = std::min(s.slide + 1, ITEM_LIST_SLIDE_TICKS);
    else s.slide = std::max(s.slide - 1, 0);
}

void setItemUseResult(int32_t value, int32_t secondValue) {
    gItemList.useValues[0] = value;
    gItemList.useValues[1] = secondValue;
}
void startUseMessage() { gItemList.useTimer = 1; }
void startDiscardMessage() { gItemList.discardTimer = 1; }
void clearItemMessages() { gItemList.useTimer = gItemList.discardTimer = 0; }

static float cursorRowY() {
    const ItemListState& s = gItemList;
    int32_t p = std::clamp(s.page, 0, ITEM_LIST_PAGE_MAX - 1);
    return LIST_POINTER_TOP + LIST_ROW_HEIGHT * static_cast<float>(s.cursor[p] - s.scroll[p]);
}
void snapListCursor() { setPointerPosition(LIST_POINTER_X, cursorRowY()); }
void placeListCursor() { glidePointerTo(LIST_POINTER_X, cursorRowY()); }

// --- input ----------------------------------------------------------------

void rearrangeBag(int32_t* bag, int32_t capacity) {
    for (int32_t i = 0; i < capacity; i++) {
        if (bag[i] == ITEM_KEY_NONE) continue;
        for (int32_t j = i + 1; j < capacity; j++) {
            if (bag[j] == ITEM_KEY_NONE) continue;
            bool swap = isUnidentified(bag[i]) ? !isUnidentified(bag[j])
                                               : !isUnidentified(bag[j]) && itemListSortKey(bag[j]) < itemListSortKey(bag[i]);
            if (swap) std::swap(bag[i], bag[j]);
        }
    }
}

static int32_t confirmPressed(int32_t allowConfirm) {
    ItemListState& s = gItemList;
    int32_t p = s.page;
    if (s.type == ITEM_LIST_BAG && s.cursor[p] == 0) {
        playSoundEffect(SOUND_INFO_POPUP);
        int32_t capacity = bagCapacity();
        rearrangeBag(gBag, capacity);
        for (int32_t i = 0; i < capacity; i++)
            s.entries[1 + i] = ItemListEntry{gBag[i], gBag[i] == ITEM_KEY_NONE ? 0 : 1};
        return ITEM_LIST_REARRANGED;
    }
    if (s.pageSize[p] == 0) return ITEM_LIST_IDLE;
    if (s.type == ITEM_LIST_BAG || allowConfirm) s.flash = 1;
    return ITEM_LIST_CONFIRMED;
}

static void inspectPressed() {
    int32_t key = getSelectedListItemKey();
    if (key < 0) return;
    if (isUnidentified(key)) {
        playSoundEffect(SOUND_REFUSED);
        return;
    }
    gItemList.infoState = 1;
    hidePointer();
    playSoundEffect(SOUND_INFO_POPUP);
}

// Cursor and page moves; true when anything moved.
static bool moveCursor(uint16_t repeat) {
    ItemListState& s = gItemList;
    int32_t p = s.page;
    int32_t n = s.pageSize[p];
    int32_t v = std::min(n, ITEM_LIST_VISIBLE_ROWS);
    bool moved = false;
    if (s.pageCount > 1 && (repeat & (BUTTON_LEFT | BUTTON_RIGHT))) {
        if (repeat & BUTTON_LEFT) s.page = (s.page + s.pageCount - 1) % s.pageCount;
        else s.page = (s.page + 1) % s.pageCount;
        playSoundEffect(SOUND_CURSOR);
        return true;
    }
    if (s.pageCount == 1 && (repeat & BUTTON_LEFT) && s.cursor[p] > 0) {
        s.cursor[p] = std::max(s.cursor[p] - LIST_JUMP_ROWS, 0);
        if (s.cursor[p] < s.scroll[p]) s.scroll[p] = std::max(s.scroll[p] - LIST_JUMP_ROWS, 0);
        moved = true;
    } else if (s.pageCount == 1 && (repeat & BUTTON_RIGHT) && s.cursor[p] < n - 1) {
        s.cursor[p] = std::min(s.cursor[p] + LIST_JUMP_ROWS, n - 1);
        s.scroll[p] = std::min(s.scroll[p] + LIST_JUMP_ROWS, n - v);
        moved = true;
    } else if ((repeat & BUTTON_UP) && s.cursor[p] > 0) {
        s.cursor[p]--;
        if (s.cursor[p] < s.scroll[p]) s.scroll[p]--;
        moved = true;
    } else if ((repeat & BUTTON_DOWN) && s.cursor[p] < n - 1) {
        s.cursor[p]++;
        if (s.cursor[p] - s.scroll[p] > v - 1) s.scroll[p]++;
        moved = true;
    }
    if (moved) playSoundEffect(SOUND_CURSOR);
    return moved;
}

int32_t handleItemListInput(int32_t allowConfirm) {
    ItemListState& s = gItemList;
    const InputRecord& in = gInputState[0];
    if (s.slide < ITEM_LIST_SLIDE_TICKS) return ITEM_LIST_IDLE;
    if (s.flash > 0) {
        if (++s.flash <= ITEM_LIST_FLASH_TICKS) return ITEM_LIST_IDLE;
        s.flash = 0;
        return ITEM_LIST_CHOSEN;
    }
    if (s.useTimer > 0 || s.discardTimer > 0) {
        if (s.useTimer > 0) s.useTimer++;
        if (s.discardTimer > 0) s.discardTimer++;
        return ITEM_LIST_IDLE;
    }
    if (s.infoState != 0) {
        if (in.pressed & (BUTTON_CONFIRM | BUTTON_CANCEL | BUTTON_SUB)) {
            s.infoState = 0;
            showPointer();
            playSoundEffect(SOUND_INFO_POPUP);
        }
        return ITEM_LIST_IDLE;
    }
    int32_t result = ITEM_LIST_IDLE;
    bool moved = false;
    if (in.pressed & BUTTON_CONFIRM) result = confirmPressed(allowConfirm);
    else if (in.pressed & BUTTON_CANCEL) result = ITEM_LIST_CANCELLED;
    else if (in.pressed & BUTTON_SUB) inspectPressed();
    else moved = moveCursor(in.repeat);
    s.infoItemKey = getSelectedListItemKey();
    if (moved) placeListCursor();
    if (s.infoItemStock == -1 || moved || result != ITEM_LIST_IDLE)
        s.infoItemStock = countItemInStorage(itemKeyId(s.infoItemKey));
    return result;
}
