// The shop floor's control: moving tables against walls and over other
// tables, vending machines by merchant level and their removal, the
// decoration preview and its cancel, the end of the stocking lesson and the
// menus by level and date, the morning's news ticker. Driven through updateShopFloor where the state
// machine decides.
#include <cmath>
#include <cstring>
#include <vector>

#include "dungeon/dungeon_state.h"
#include "engine/loaders.h"
#include "engine/overlay_screen.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "tests/adventurers/shop_floor_fixture.h"
#include "tests/engine/sound_effects_probe.h"

TEST_F(ShopFloorTest, AMoveIntoAWallIsUndoneWith362) {
    struct Case {
        int32_t shelf, dx, dz;
        int32_t sound;
        ShelfPlace after;
        const char* what;
    };
    // The smallest shop: shelf 0 square at (3, 3), 1 along x at (1, 0), 2 along z at (0, 1).
    const Case CASES[] = {
        {0, -1, 0, 326, {2, 3}, "onto free floor"},
        {2, -1, 0, 362, {0, 1}, "to a negative column"},
        {1, 0, -1, 362, {1, 0}, "to a negative row"},
        {0, 0, 3, 362, {3, 3}, "onto the counter's wall"},
        {0, 2, -2, 362, {3, 3}, "onto the reserved patch"},
        {0, 0, 0, 0, {3, 3}, "no move"},
    };
    for (const Case& c : CASES) {
        initShelfLayout(game());
        EXPECT_EQ(moveShelf(c.shelf, c.dx, c.dz), c.sound) << c.what;
        EXPECT_EQ(game().shelfLayout[c.shelf].x, c.after.x) << c.what;
        EXPECT_EQ(game().shelfLayout[c.shelf].z, c.after.z) << c.what;
        EXPECT_EQ(buildShelfOccupancy(), SHELF_LAYOUT_VALID) << c.what;
    }
}

TEST_F(ShopFloorTest, AnOverlapIsPassedOverButBlocksConfirmAndCancel) {
    game().shelves[3][3] = key(BREAD);
    gShopFloor.shopFloorState = SHOP_FLOOR_EDITING;
    gShopFloor.selectedShelf = 0;
    liftShelfItems(0, 1);
    tick(BUTTON_UP);
    tick(BUTTON_UP);
    tick(BUTTON_UP);   // onto shelf 1's row
    EXPECT_EQ(game().shelfLayout[0].z, 0);
    EXPECT_EQ(buildShelfOccupancy(), SHELF_LAYOUT_OVERLAP);
    tick(BUTTON_CONFIRM);
    EXPECT_EQ(gShopFloor.selectedShelf, 0) << "confirm is refused over another shelf";
    tick(BUTTON_CANCEL);
    EXPECT_EQ(gShopFloor.shopFloorState, SHOP_FLOOR_EDITING) << "and so is cancel";
    EXPECT_EQ(gShopPlacement.shelfCarry[0], key(BREAD)) << "the items stay lifted";

    tick(BUTTON_DOWN);
    EXPECT_EQ(buildShelfOccupancy(), SHELF_LAYOUT_VALID);
    tick(BUTTON_CONFIRM);
    EXPECT_EQ(gShopFloor.selectedShelf, 1);
    EXPECT_EQ(game().shelves[1][3], key(BREAD)) << "put down at the shelf's new place";
    tick(BUTTON_CANCEL);
    EXPECT_EQ(gShopFloor.shopFloorState, SHOP_FLOOR_MENU);
}

TEST_F(ShopFloorTest, VendingMachinesNeedLevel14AndAFourthNeeds21) {
    struct Case {
        int32_t level, placed, refusal;
    };
    // 0-based merchant levels.
    const Case CASES[] = {{0, 0, 1}, {13, 0, 1}, {14, 0, 0}, {14, 2, 0}, {14, 3, 2}, {20, 5, 2}, {21, 3, 0}, {21, 9, 0}};
    for (const Case& c : CASES)
        EXPECT_EQ(vendingPlacementRefusal(c.level, c.placed), c.refusal) << "level " << c.level << ", " << c.placed;

    addItemToStorage(key(SMALL_VENDOR));
    game().merchantLevel = 13;
    EXPECT_EQ(placeKeyOnCell(3, 3, key(SMALL_VENDOR)), 1);
    EXPECT_TRUE(isDialogActive()) << "the refusal is said in the message window";
    EXPECT_EQ(stored(key(SMALL_VENDOR)), 1);
    EXPECT_EQ(game().vendingModes[0], 0);
    resetDialogs();

    game().merchantLevel = 20;
    for (int32_t i = 5; i < 8; i++) game().vendingModes[i] = key(SMALL_VENDOR);
    EXPECT_EQ(placeKeyOnCell(3, 3, key(SMALL_VENDOR)), 2) << "a fourth below level 21";
    EXPECT_EQ(stored(key(SMALL_VENDOR)), 1);
    resetDialogs();

    game().merchantLevel = 21;
    game().shelves[4][4] = key(BREAD);
    EXPECT_EQ(placeKeyOnCell(3, 3, key(SMALL_VENDOR)), 0);
    EXPECT_EQ(game().vendingModes[0], key(SMALL_VENDOR));
    EXPECT_EQ(game().shelves[3][3], key(SMALL_VENDOR));
    EXPECT_EQ(game().shelves[4][4], ITEM_KEY_NONE) << "the table's goods make room";
    EXPECT_EQ(stored(key(BREAD)), 1);
    EXPECT_EQ(stored(key(SMALL_VENDOR)), 0);
}

TEST_F(ShopFloorTest, RevertToTableReturnsTheMachineAndItsStock) {
    for (int32_t flag : {FLAG_SELLERS, FLAG_REQUESTS, FLAG_LEVEL_EVENT_6, FLAG_LEVEL_EVENT_14}) setFlag(flag);
    game().merchantLevel = 30;
    addItemToStorage(key(SMALL_VENDOR));
    ASSERT_EQ(placeKeyOnCell(4, 3, key(SMALL_VENDOR)), 0);
    game().vendingStock[0][0] = key(TART);
    game().vendingStock[0][5] = key(BREAD, 3);
    beginVendingStocking(0);
    EXPECT_EQ(gShopFloor.shopFloorCursor[2], 7) << "a machine of 6 slots";
    gShopFloor.shopFloorCursor[0] = 0;   // "Revert To Table"
    tick(BUTTON_CONFIRM);
    EXPECT_EQ(gShopFloor.shopEditMode, 0);
    EXPECT_EQ(game().vendingModes[0], 0);
    EXPECT_EQ(game().shelves[3][4], ITEM_KEY_NONE);
    EXPECT_EQ(stored(key(SMALL_VENDOR)), 1);
    EXPECT_EQ(stored(key(TART)), 1);
    EXPECT_EQ(stored(key(BREAD, 3)), 1);
    for (int32_t slot : game().vendingStock[0]) EXPECT_EQ(slot, ITEM_KEY_NONE);
}

TEST_F(ShopFloorTest, CancellingTheDecorationPreviewRestoresAllFourChoices) {
    game().merchantLevel = 20;
    startShopDayMessages();
    int32_t floors = -1;
    for (int32_t i = 0; i < gShopFloor.shopMenuCountA; i++)
        if (gShopFloor.shopMenuListA[i] == SHOP_MENU_FLOORING) floors = i;
    ASSERT_GE(floors, 0);
    gShopFloor.shopMenuCursor[0] = floors;
    game().shopFloor = 0;   // oak in use
    game().decorationPlus[1] = 0;
    game().shopWall = 3;
    game().shopRug = 2;
    game().shopTable = 1;
    game().decorationPlus[0] = 4;
    addItemToStorage(key(PINE_FLOOR, 2));
    addItemToStorage(key(STONE_FLOOR));

    gShopFloor.shopFloorState = SHOP_FLOOR_MENU_CHOSEN;
    gShopFloor.shopMenuDelay = 14;
    tick();
    ASSERT_EQ(gShopFloor.shopFloorState, SHOP_FLOOR_HOLDS_OVERLAY);
    waitForLoaderThread();
    pollLoaderThread();
    gShopPartState = 1;
    tick();
    ASSERT_EQ(gShopFloor.shopFloorState, SHOP_FLOOR_DECORATING);
    EXPECT_EQ(stored(key(OAK_FLOOR)), 1) << "the floor in use is offered with the others";
    snapItemListOpen();
    while (getSelectedListItemKey() != key(PINE_FLOOR, 2) && gItemList.cursor[gItemList.page] < 3) tick(BUTTON_DOWN);
    tick();
    EXPECT_EQ(game().shopFloor, 1) << "browsing shows the floor at once";
    EXPECT_EQ(game().decorationPlus[1], 2);
    // Whatever the preview touched, cancel gives back all four and their plus levels.
    game().shopWall = 9;
    game().shopRug = 7;
    game().shopTable = 5;
    game().decorationPlus[0] = 0;
    tick(BUTTON_CANCEL);
    EXPECT_EQ(gShopFloor.shopFloorState, SHOP_FLOOR_MENU);
    EXPECT_EQ(game().shopFloor, 0);
    EXPECT_EQ(game().shopWall, 3);
    EXPECT_EQ(game().shopRug, 2);
    EXPECT_EQ(game().shopTable, 1);
    EXPECT_EQ(game().decorationPlus[1], 0);
    EXPECT_EQ(game().decorationPlus[0], 4);
    EXPECT_EQ(stored(key(OAK_FLOOR)), 0) << "the floor in use leaves the storage again";
    EXPECT_EQ(stored(key(PINE_FLOOR, 2)), 1);
}

TEST_F(ShopFloorTest, StockingEveryShelfCellEndsTheLesson) {
    setFlag(FLAG_SHELF_LESSON);
    addItemToStorage(key(BREAD));
    addItemToStorage(key(BREAD));
    addItemToStorage(key(TART));
    // Every shelf cell of the smallest shop but (3, 3) and (4, 4) holds an item.
    for (int32_t z = 0; z < SHOP_GRID_ROWS; z++)
        for (int32_t x = 0; x < SHOP_GRID_COLUMNS; x++)
            if (isShelfCell(gShopGrid[z * SHOP_GRID_COLUMNS + x])) game().shelves[z][x] = key(HOLY_WATER);
    game().shelves[3][3] = game().shelves[4][4] = ITEM_KEY_NONE;
    placeKeyOnCell(4, 4, key(BREAD));
    EXPECT_FALSE(game().storyFlags[FLAG_SHELVES_FULL]) << "one cell is still empty";
    placeKeyOnCell(3, 3, key(BREAD));
    EXPECT_TRUE(game().storyFlags[FLAG_SHELVES_FULL]);
    EXPECT_FALSE(game().storyFlags[FLAG_SHELF_LESSON]);
    EXPECT_EQ(stored(key(TART)), 1);

    // An empty storage ends it too, whatever cells are left.
    setFlag(FLAG_SHELVES_FULL, 0);
    setFlag(FLAG_SHELF_LESSON);
    game().shelves[3][3] = game().shelves[4][4] = ITEM_KEY_NONE;
    placeKeyOnCell(3, 3, key(TART));
    EXPECT_TRUE(game().storyFlags[FLAG_SHELVES_FULL]);
}

TEST_F(ShopFloorTest, MenusFollowTheMerchantLevelAndTheDate) {
    struct Case {
        int32_t level, date;
        bool timeLecture;
        std::vector<int32_t> a, b;
    };
    const Case CASES[] = {
        {0, 0, false, {0, 6}, {0, 5, 7, 4}},
        {5, 9, false, {0, 2, 6}, {0, 5, 7, 8, 4}},
        {9, 3, true, {0, 2, 1, 3, 5, 6}, {0, 5, 7, 9, 6, 4}},
        {13, 10, true, {0, 2, 1, 3, 5, 4, 6}, {0, 5, 7, 8, 9, 6, 4}},
    };
    for (const Case& c : CASES) {
        game().merchantLevel = c.level;
        game().date = c.date;
        setFlag(FLAG_TIME_LECTURE, c.timeLecture);
        startShopDayMessages();
        EXPECT_EQ(std::vector<int32_t>(gShopFloor.shopMenuListA, gShopFloor.shopMenuListA + gShopFloor.shopMenuCountA), c.a) << "level " << c.level;
        EXPECT_EQ(std::vector<int32_t>(gShopFloor.shopMenuListB, gShopFloor.shopMenuListB + gShopFloor.shopMenuCountB), c.b) << "level " << c.level;
    }
}

TEST_F(ShopFloorTest, TheNightTalkEndsInTheResultsOnTick160) {
    gShopDayPhase = 1;
    gShopSequence = SHOP_SEQUENCE_MORNING;
    int32_t ticks = 0;
    while (gShopDayPhase != 0 && ticks < 400) {
        tick();
        ticks++;
    }
    EXPECT_EQ(ticks, 159);
    EXPECT_EQ(gOverlayScreen.kind, OVERLAY_RESULTS);
    EXPECT_GT(gOverlayScreen.openCounter, 0) << "the results screen opens";
    EXPECT_EQ(gShopFloor.shopFloorState, SHOP_FLOOR_WALKING);
    resetOverlayScreen();
    EXPECT_EQ(gShopFloor.nightTalkVariant, 1);
}

TEST_F(ShopFloorTest, ConfirmBeforeAShelfStocksTheCellFromStorage) {
    for (int32_t flag : {FLAG_SELLERS, FLAG_REQUESTS, FLAG_SHELF_LESSON}) setFlag(flag);
    addItemToStorage(key(TART));
    game().shelves[3][3] = key(BREAD);
    // Two units left of shelf 0's cell (3, 3), facing right with the camera turned half round.
    gParty.positions[0] = Vector3{-5.0f, 0.0f, -1.0f};
    gParty.facing = (float)(3.0 * M_PI / 2.0) - 3.14159265358979f;
    tick();
    ASSERT_EQ(gShopPlacement.placementCell.x, 3);
    tick(BUTTON_CONFIRM);
    ASSERT_EQ(gShopFloor.shopEditMode, 1);
    EXPECT_TRUE(isItemListOpen());
    EXPECT_EQ(gItemList.header, 2) << "a filled cell";
    snapItemListOpen();
    while (getSelectedListItemKey() != key(TART) && gItemList.cursor[gItemList.page] < 3) tick(BUTTON_DOWN);
    ASSERT_EQ(getSelectedListItemKey(), key(TART));
    tick(BUTTON_CONFIRM);
    for (int32_t t = 0; t < ITEM_LIST_FLASH_TICKS + 1 && gShopFloor.shopEditMode == 1; t++) tick();
    EXPECT_EQ(gShopFloor.shopEditMode, 0);
    EXPECT_EQ(game().shelves[3][3], key(TART));
    EXPECT_EQ(stored(key(BREAD)), 1) << "the old item goes back to storage";
    EXPECT_EQ(stored(key(TART)), 0);
    EXPECT_TRUE(game().storyFlags[FLAG_SHELF_STOCKED]);
    EXPECT_EQ(gShopAtmosphere.decoration, -4 + 1) << "the tart's fancy point counts at once";
}

// From date 9 a morning starts the news ticker at tick 191; it counts while
// it runs and sounds once it is in, when there is news. Before date 9 it
// does not count.
TEST_F(ShopFloorTest, TheNewsTickerCountsAndSoundsOnTheThirtiethTick) {
    const struct {
        int32_t date, news;
        int32_t soundAt;   // the field tick that asks for 701; -1 never
    } CASES[] = {{10, 2, 191 + 29}, {10, 0, -1}, {9, 1, 191 + 29}};
    gSound.ready = 1;   // effects are only queued: the test reads the queue
    for (const auto& c : CASES) {
        resetFloorConditions();
        game().date = c.date;
        gShopSequence = SHOP_SEQUENCE_MORNING;
        gFieldTicks = 0;
        int32_t soundAt = -1;
        for (int32_t t = 0; t < 260; t++) {
            game().newsCount = c.news;
            memset(gSound.effectRequests, 0, sizeof gSound.effectRequests);
            int32_t at = gFieldTicks;
            tick();
            for (int32_t n : requestedEffects())
                if (n == SOUND_CONDITION_BANNER) soundAt = at;
        }
        EXPECT_EQ(soundAt, c.soundAt) << "date " << c.date << " news " << c.news;
        EXPECT_EQ(gConditionBanner.counter, 260 - 191) << "date " << c.date << ": still counting, nothing drawn";
    }
    resetFloorConditions();
    game().date = 8;
    gConditionBanner.counter = 5;
    tick();
    EXPECT_EQ(gConditionBanner.counter, 5) << "before date 9 the ticker does not count";
    resetFloorConditions();
    gSound.ready = 0;
    memset(gSound.effectRequests, 0, sizeof gSound.effectRequests);
}
