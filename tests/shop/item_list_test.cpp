// The shared item list over the running game's storage, shelves and the bag,
// with a small item table made in the test and input fed as button words.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "adventurers/adventurers_state.h"
#include "economy_fixture.h"
#include "engine/dialogs.h"
#include "engine/input.h"
#include "shop/decorations.h"
#include "shop/item_list.h"
#include "shop/storage.h"

namespace {

// Sort numbers: the first digits of a name. Ids 1, 10 and 20 share a
// category; 17 sorts by number before them all.
const char ITEMS[] =
    ":Swords#Weapons\n"
    "0001 Sword#100#5#0#0#0#Wepn##a2#t\n"
    "0010 Sabre#100#5#0#0#0#Wepn##a2#t\n"
    "0017 5#Rapier#100#5#0#0#0#Wepn##a2#t\n"
    "0020 Blade#100#5#0#0#0#Wepn##a2#t\n"
    ":Daggers#Weapons\n"
    "0101 Dagger#80#4#0#0#0#Wepn##a3#t\n"
    ":Rings#Accessories\n"
    "2001 Ring#50#0#0#0#0#Assr##a1#t\n"
    ":Flooring#Floors\n"
    "5001 Plank Floor#300#0#0#0#0#Furn##a1#t\n"
    "5002 Marble Floor#700#0#0#0#0#Furn##a1#t\n"
    ":Wallpapers#Walls\n"
    "5101 Plaster Wall#300#0#0#0#0#Furn##a1#t\n"
    ":Venders#Vending Machines\n"
    "5201 Snack Vender#3000#0#0#0#0#Furn##a1#t\n"
    ":Counters#Counter Tables\n"
    "5301 Pine Counter#400#0#0#0#0#Furn##a1#t\n"
    ":Rugs#Rugs\n"
    "5401 Round Rug#300#0#0#0#0#Furn##a1#t\n";

// Key and count of a list row.
struct Row {
    int32_t key, count;
    bool operator==(const Row&) const = default;
    friend void PrintTo(const Row& r, std::ostream* os) { *os << "{key " << r.key << " x" << r.count << "}"; }
};

constexpr int32_t key(int32_t id, int32_t plus = 0) { return makeItemKey(id, 0, plus); }
constexpr int32_t unidentified(int32_t id) { return makeItemKey(id, ITEM_KEY_UNIDENTIFIED, 0); }

class ItemListTest : public EconomyTest {
protected:
    void SetUp() override {
        EconomyTest::SetUp();
        loadItems(ITEMS);
        resetItemListState();
        resetBagState();
        gInputState[0] = InputRecord{};
    }
    void TearDown() override {
        resetItemListState();
        resetBagState();
        gInputState[0] = InputRecord{};
        EconomyTest::TearDown();
    }
    static void store(const std::vector<int32_t>& keys) {
        for (int32_t k : keys) addItemToStorage(k);
    }
    static std::vector<Row> page(int32_t p) {
        std::vector<Row> rows;
        for (int32_t i = 0; i < gItemList.pageSize[p]; i++) {
            const ItemListEntry& e = gItemList.entries[gItemList.pageStart[p] + i];
            rows.push_back({e.key, e.count});
        }
        return rows;
    }
    // One tick of input with the list slid in.
    static int32_t press(uint16_t pressed, uint16_t repeat = 0, int32_t allowConfirm = 1) {
        gItemList.slide = ITEM_LIST_SLIDE_TICKS;
        gInputState[0].pressed = pressed;
        gInputState[0].repeat = repeat;
        int32_t result = handleItemListInput(allowConfirm);
        gInputState[0].pressed = gInputState[0].repeat = 0;
        return result;
    }
};

}  // namespace

TEST_F(ItemListTest, IdentifiedEqualKeysShareARowUnidentifiedNeverDo) {
    store({key(1), unidentified(1), key(1), unidentified(1), key(1, 3)});
    openItemList(ITEM_LIST_STORAGE, 1);
    ASSERT_EQ(gItemList.pageCount, 1);
    // The unidentified sort as if their id were 16 higher, so after id 1 +3.
    std::vector<Row> want = {{key(1), 2}, {key(1, 3), 1}, {unidentified(1), 1}, {unidentified(1), 1}};
    EXPECT_EQ(page(0), want);
}

TEST_F(ItemListTest, RowsSortByCategoryThenSortNumberThenKey) {
    store({key(2001), key(20), unidentified(1), key(10), key(101), key(1), key(17)});
    openItemList(ITEM_LIST_STORAGE, 1);
    ASSERT_EQ(gItemList.pageCount, 3);
    std::vector<Row> swords = {{key(1), 1}, {key(10), 1}, {unidentified(1), 1}, {key(20), 1}, {key(17), 1}};
    EXPECT_EQ(page(0), swords) << "an unidentified id 1 sorts as id 17; sort number 5 sorts last";
    EXPECT_EQ(page(1), (std::vector<Row>{{key(101), 1}}));
    EXPECT_EQ(page(2), (std::vector<Row>{{key(2001), 1}}));
    EXPECT_EQ(gItemList.pageKey[0], key(1));
    EXPECT_EQ(gItemList.pageKey[2], key(2001));
}

TEST_F(ItemListTest, FurnishingsAloneGiveTheFloorListOnePage) {
    store({key(5002), key(5001), key(5002)});
    openItemList(ITEM_LIST_FLOORS, 1);
    EXPECT_EQ(gItemList.pageCount, 1);
    EXPECT_EQ(page(0), (std::vector<Row>{{key(5001), 1}, {key(5002), 2}}));
    EXPECT_EQ(gItemList.cursor[0], 0);

    openItemList(ITEM_LIST_SHELF, 1);
    EXPECT_EQ(gItemList.pageCount, 1);
    EXPECT_EQ(page(0), (std::vector<Row>{{ITEM_KEY_LIST_ROW, 0}, {key(5001), 1}, {key(5002), 2}}));
    EXPECT_EQ(gItemList.pageKey[0], key(5001));
    EXPECT_EQ(gItemList.cursor[0], 1) << "the cursor starts below the Nothing row";

    openItemList(ITEM_LIST_WALLS, 1);
    EXPECT_EQ(gItemList.pageCount, 0);
    EXPECT_EQ(gItemList.pageSize[0], 0);
}

// The wall, floor, rug and counter lists each take one decoration range.
TEST_F(ItemListTest, EachDecorationListOffersItsOwnKind) {
    store({key(5001), key(5101), key(5201), key(5301), key(5401), key(1)});
    const struct {
        int32_t kind, id;
    } cases[] = {{DECORATION_WALL, 5101}, {DECORATION_FLOOR, 5001}, {DECORATION_RUG, 5401}, {DECORATION_TABLE, 5301}};
    for (const auto& c : cases) {
        openItemList(DECORATION_RANGES[c.kind].listType, 1);
        EXPECT_EQ(page(0), (std::vector<Row>{{key(c.id), 1}})) << "kind " << c.kind;
    }
    EXPECT_EQ(decorationKindOfList(ITEM_LIST_STORAGE), -1);
}

TEST_F(ItemListTest, TheDeliveryListAddsShelfItemsButNoVendingMachines) {
    store({key(1)});
    game().shelves[0][3] = key(1);
    game().shelves[2][5] = key(5201);
    game().shelves[4][0] = key(101);
    openItemList(ITEM_LIST_DELIVERY, 1);
    ASSERT_EQ(gItemList.pageCount, 2);
    EXPECT_EQ(page(0), (std::vector<Row>{{ITEM_KEY_LIST_ROW, 0}, {key(1), 2}}));
    EXPECT_EQ(page(1), (std::vector<Row>{{ITEM_KEY_LIST_ROW, 0}, {key(101), 1}}));
}

// Storage holds 20,000 keys; unidentified keys never merge, so a list can
// have as many rows, and the delivery list the shelves' 300 besides.
TEST_F(ItemListTest, AFullStorageOfUnidentifiedKeysIsListedWhole) {
    for (int32_t i = 0; i < STORAGE_ENTRY_COUNT; i++) game().storage[i] = unidentified(i % 2 ? 1 : 101);
    game().storageCount = STORAGE_ENTRY_COUNT;
    for (auto& row : game().shelves)
        for (int32_t& k : row) k = unidentified(2001);
    openItemList(ITEM_LIST_DELIVERY, 1);
    ASSERT_EQ(gItemList.pageCount, 3);
    EXPECT_EQ(gItemList.pageSize[0], 1 + STORAGE_ENTRY_COUNT / 2);
    EXPECT_EQ(gItemList.pageSize[1], 1 + STORAGE_ENTRY_COUNT / 2);
    EXPECT_EQ(gItemList.pageSize[2], 1 + SHELF_ROWS * SHELF_CELLS);
    int32_t last = gItemList.pageStart[2] + gItemList.pageSize[2] - 1;
    EXPECT_EQ(gItemList.entries[last].key, unidentified(2001));
    EXPECT_EQ(gItemList.entries[last].count, 1);
}

TEST_F(ItemListTest, RightOnASinglePageJumpsSixRows) {
    const struct {
        int32_t cursor, scroll;
        uint16_t button;
        int32_t wantCursor, wantScroll;
    } cases[] = {
        {17, 11, BUTTON_RIGHT, 19, 13}, {0, 0, BUTTON_RIGHT, 6, 6},  {19, 13, BUTTON_RIGHT, 19, 13},
        {8, 6, BUTTON_LEFT, 2, 0},      {3, 0, BUTTON_LEFT, 0, 0},   {13, 13, BUTTON_LEFT, 7, 7},
        {6, 0, BUTTON_DOWN, 7, 1},      {7, 7, BUTTON_UP, 6, 6},     {19, 13, BUTTON_DOWN, 19, 13},
    };
    for (int32_t i = 0; i < 20; i++) addItemToStorage(key(1, i % 16) + (i / 16) * ITEM_KEY_POSSESSED);
    openItemList(ITEM_LIST_STORAGE, 1);
    ASSERT_EQ(gItemList.pageCount, 1);
    ASSERT_EQ(gItemList.pageSize[0], 20);
    for (const auto& c : cases) {
        gItemList.cursor[0] = c.cursor;
        gItemList.scroll[0] = c.scroll;
        EXPECT_EQ(press(0, c.button), ITEM_LIST_IDLE);
        EXPECT_EQ(gItemList.cursor[0], c.wantCursor) << "from " << c.cursor << " button " << c.button;
        EXPECT_EQ(gItemList.scroll[0], c.wantScroll) << "from " << c.cursor << " button " << c.button;
        EXPECT_EQ(gItemList.infoItemKey, getSelectedListItemKey());
    }
}

TEST_F(ItemListTest, LeftAndRightTurnPagesAndWrap) {
    store({key(1), key(101), key(2001)});
    openItemList(ITEM_LIST_STORAGE, 1);
    ASSERT_EQ(gItemList.pageCount, 3);
    press(0, BUTTON_LEFT);
    EXPECT_EQ(gItemList.page, 2);
    press(0, BUTTON_RIGHT);
    EXPECT_EQ(gItemList.page, 0);
    press(0, BUTTON_RIGHT);
    EXPECT_EQ(gItemList.page, 1);
    EXPECT_EQ(gItemList.infoItemKey, key(101));
    EXPECT_EQ(gItemList.infoItemStock, 1);
}

TEST_F(ItemListTest, ConfirmFlashesSixTicksUnlessNothingIsThere) {
    openItemList(ITEM_LIST_STORAGE, 1);
    EXPECT_EQ(press(BUTTON_CONFIRM), ITEM_LIST_IDLE) << "an empty page";
    EXPECT_EQ(gItemList.flash, 0);
    EXPECT_EQ(getSelectedListItemKey(), ITEM_KEY_NONE);

    openItemList(ITEM_LIST_SHELF, 1);
    EXPECT_EQ(press(BUTTON_CONFIRM), ITEM_LIST_CONFIRMED) << "the Nothing row of an empty storage";
    for (int32_t t = 0; t < ITEM_LIST_FLASH_TICKS - 1; t++) EXPECT_EQ(press(0), ITEM_LIST_IDLE);
    EXPECT_EQ(press(0), ITEM_LIST_CHOSEN);
    EXPECT_EQ(gItemList.flash, 0);
    EXPECT_EQ(getSelectedListItemKey(), ITEM_KEY_LIST_ROW);

    store({key(1)});
    openItemList(ITEM_LIST_STORAGE, 1);
    EXPECT_EQ(press(BUTTON_CONFIRM, 0, 0), ITEM_LIST_CONFIRMED);
    EXPECT_EQ(gItemList.flash, 0) << "confirming not allowed: no flash";
    EXPECT_EQ(press(BUTTON_CANCEL), ITEM_LIST_CANCELLED);
    gItemList.slide = 4;
    EXPECT_EQ(handleItemListInput(1), ITEM_LIST_IDLE) << "still sliding in";
}

TEST_F(ItemListTest, InspectOpensThePopupOnlyForIdentifiedItems) {
    store({key(1), unidentified(1)});
    openItemList(ITEM_LIST_STORAGE, 1);
    showPointer();
    gItemList.cursor[0] = 1;
    press(BUTTON_SUB);
    EXPECT_EQ(gItemList.infoState, 0) << "an unidentified item has nothing to show";
    gItemList.cursor[0] = 0;
    press(BUTTON_SUB);
    EXPECT_EQ(gItemList.infoState, 1);
    EXPECT_FALSE(isPointerShown());
    EXPECT_EQ(press(BUTTON_CONFIRM), ITEM_LIST_IDLE) << "confirm only closes the popup";
    EXPECT_EQ(gItemList.infoState, 0);
    EXPECT_TRUE(isPointerShown());
    EXPECT_EQ(gItemList.flash, 0);
}

TEST_F(ItemListTest, ReopeningKeepsTheCursorOnTheNewLastRow) {
    for (int32_t i = 0; i < 20; i++) addItemToStorage(key(1, i % 16) + (i / 16) * ITEM_KEY_POSSESSED);
    openItemList(ITEM_LIST_STORAGE, 1);
    gItemList.cursor[0] = 19;
    gItemList.scroll[0] = 13;
    int32_t sold = getSelectedListItemKey();
    removeStorageKey(sold);
    openItemList(ITEM_LIST_STORAGE, 0);
    EXPECT_EQ(gItemList.cursor[0], 18);
    EXPECT_EQ(gItemList.scroll[0], 12);
    EXPECT_NE(getSelectedListItemKey(), sold);
    EXPECT_EQ(gPointer.y, 96.0f + 36.0f * 6);
}

// A page emptied while the list was away must not leave its cursor before
// its first row: when the page fills again the cursor would select the
// previous page's last item.
TEST_F(ItemListTest, APageThatEmptiesAndFillsAgainStartsAtItsFirstRow) {
    store({key(1), key(101), key(101, 1), key(101, 2)});
    openItemList(ITEM_LIST_STORAGE, 1);
    gItemList.cursor[1] = 2;
    for (int32_t plus = 0; plus < 3; plus++) removeStorageKey(key(101, plus));
    openItemList(ITEM_LIST_STORAGE, 0);
    ASSERT_EQ(gItemList.pageCount, 1);
    EXPECT_EQ(gItemList.cursor[1], 0);
    store({key(101)});
    openItemList(ITEM_LIST_STORAGE, 0);
    gItemList.page = 1;
    EXPECT_EQ(getSelectedListItemKey(), key(101));
}

TEST_F(ItemListTest, RemovingTakesOneFromStorageAndTheRowAtZero) {
    store({key(1), key(1), key(10), key(20)});
    openItemList(ITEM_LIST_STORAGE, 1);
    gItemList.cursor[0] = 0;
    removeSelectedListItem();
    EXPECT_EQ(page(0), (std::vector<Row>{{key(1), 1}, {key(10), 1}, {key(20), 1}}));
    EXPECT_EQ(countItemInStorage(1), 1);
    gItemList.cursor[0] = 2;
    removeSelectedListItem();
    EXPECT_EQ(page(0), (std::vector<Row>{{key(1), 1}, {key(10), 1}}));
    EXPECT_EQ(gItemList.cursor[0], 1) << "the cursor follows the last row";
    EXPECT_EQ(gItemList.entries[2].key, ITEM_KEY_LIST_ROW);
    EXPECT_EQ(countItemInStorage(20), 0);

    openItemList(ITEM_LIST_SHELF, 1);
    gItemList.cursor[0] = 0;
    removeSelectedListItem();
    EXPECT_EQ(page(0), (std::vector<Row>{{ITEM_KEY_LIST_ROW, 0}, {key(1), 1}, {key(10), 1}}))
        << "the Nothing row stands for no item";
    EXPECT_EQ(game().storageCount, 2);
}

TEST_F(ItemListTest, TheBagListRearrangesRemovesAndReplaces) {
    gBagCapacity = 5;
    int32_t bag[] = {unidentified(1), key(20), key(101), key(1), key(10)};
    for (int32_t i = 0; i < 5; i++) gBag[i] = bag[i];
    openItemList(ITEM_LIST_BAG, 1);
    EXPECT_EQ(gItemList.cursor[0], 1);
    gItemList.cursor[0] = 0;
    EXPECT_EQ(press(BUTTON_CONFIRM), ITEM_LIST_REARRANGED);
    std::vector<int32_t> want = {key(1), key(10), key(20), key(101), unidentified(1)};
    EXPECT_EQ(std::vector<int32_t>(gBag, gBag + 5), want);
    std::vector<Row> rows = {{ITEM_KEY_LIST_ROW, 0}, {key(1), 1}, {key(10), 1}, {key(20), 1}, {key(101), 1},
                             {unidentified(1), 1}};
    EXPECT_EQ(page(0), rows);

    gItemList.cursor[0] = 2;
    removeSelectedListItem();
    want = {key(1), key(20), key(101), unidentified(1), ITEM_KEY_NONE};
    EXPECT_EQ(std::vector<int32_t>(gBag, gBag + 5), want);
    EXPECT_EQ(getSelectedListItemKey(), key(20));

    EXPECT_EQ(replaceSelectedListItem(key(2001)), key(20));
    EXPECT_EQ(gBag[1], key(2001));
    EXPECT_EQ(getSelectedListItemKey(), key(2001));
}

TEST_F(ItemListTest, CursorsSurviveAnOverlayAndTheSeekStopsOnTheKey) {
    store({key(1), key(10), key(20), key(101)});
    openItemList(ITEM_LIST_STORAGE, 1);
    moveListCursorToItem(key(20));
    EXPECT_EQ(gItemList.cursor[0], 2);
    saveItemListCursors();
    openItemList(ITEM_LIST_STORAGE, 1);
    EXPECT_EQ(gItemList.cursor[0], 0);
    restoreItemListCursors();
    EXPECT_EQ(getSelectedListItemKey(), key(20));
    EXPECT_EQ(gItemList.infoItemKey, key(20));
    EXPECT_EQ(gItemList.infoItemStock, 1);
    moveListCursorToItem(key(2001));
    EXPECT_EQ(gItemList.cursor[0], 2) << "not on the page: the seek stops at the last row";
}

TEST_F(ItemListTest, TheListSlidesInAndOut) {
    openItemList(ITEM_LIST_STORAGE, 1);
    for (int32_t t = 0; t < 8; t++) stepItemListSlide();
    EXPECT_EQ(gItemList.slide, ITEM_LIST_SLIDE_TICKS);
    hideItemList();
    for (int32_t t = 0; t < 3; t++) stepItemListSlide();
    EXPECT_EQ(gItemList.slide, 2);
    EXPECT_FALSE(isItemListOpen());
}
