// The shop grid: the shelf occupancy and its checks, shelves read from a
// damaged save, the shelf probe in front of the heroine in single precision,
// the carry of a moved shelf and the atmosphere point.
#include <cmath>

#include "tests/adventurers/shop_floor_fixture.h"

using ShopGridTest = ShopFloorTest;

TEST_F(ShopGridTest, DefaultLayoutsAreValidAndMarkEachShelfsCells) {
    for (int32_t size = 0; size < SHOP_SIZE_COUNT; size++) {
        game().shopSize = size;
        initShelfLayout(game());
        EXPECT_EQ(buildShelfOccupancy(), SHELF_LAYOUT_VALID) << "size " << size;
        for (int32_t i = 0; i < SHOP_SHELF_COUNTS[size]; i++) {
            ShelfPlace cells[SHELF_CELL_COUNT];
            shelfCellsAt(i, game().shelfLayout[i], cells);
            for (const ShelfPlace& c : cells) {
                int32_t code = gShopGrid[c.z * SHOP_GRID_COLUMNS + c.x];
                EXPECT_TRUE(isShelfCell(code)) << "size " << size << " shelf " << i;
                EXPECT_EQ(findShelfAt(c.x, c.z), i);
            }
        }
    }
    // Shelves 2 and 3 stand along z, 1 along x, 0 is square.
    EXPECT_EQ(gShopGrid[1 * SHOP_GRID_COLUMNS + 0], SHOP_CELL_ALONG_Z);
    EXPECT_EQ(gShopGrid[0 * SHOP_GRID_COLUMNS + 1], SHOP_CELL_ALONG_X);
}

TEST_F(ShopGridTest, OccupancyReportsNegativeWallAndOverlap) {
    struct Case {
        int32_t x, z, want;
        const char* what;
    };
    // Shelf 0 (2 x 2) of the smallest shop moved to each place.
    const Case CASES[] = {
        {3, 3, SHELF_LAYOUT_VALID, "its own place"},
        {-1, 3, SHELF_LAYOUT_NEGATIVE, "a negative column"},
        {3, -1, SHELF_LAYOUT_NEGATIVE, "a negative row"},
        {8, 4, SHELF_LAYOUT_ON_WALL, "the back wall"},
        {5, 1, SHELF_LAYOUT_ON_WALL, "the reserved patch"},
        {2, 0, SHELF_LAYOUT_OVERLAP, "shelf 1's cells"},
        {19, 3, SHELF_LAYOUT_ON_WALL, "half beyond the right edge"},
        {3, 14, SHELF_LAYOUT_ON_WALL, "half beyond the bottom edge"},
    };
    for (const Case& c : CASES) {
        initShelfLayout(game());
        game().shelfLayout[0] = {c.x, c.z};
        EXPECT_EQ(buildShelfOccupancy(), c.want) << c.what;
    }
    initShelfLayout(game());
    game().shelfLayout[0] = {2, 0};   // over shelf 1 and on nothing else
    game().shelfLayout[2] = {5, 1};   // and shelf 2 on the reserved patch
    EXPECT_EQ(buildShelfOccupancy(), SHELF_LAYOUT_ON_WALL | SHELF_LAYOUT_OVERLAP);
}

TEST_F(ShopGridTest, ASavedShelfAtColumn19WritesNothingOutsideTheGrid) {
    // The cell right of (19, 10) would be (0, 11) of the next row in memory.
    game().shelfLayout[0] = {19, 10};
    game().shelves[10][19] = key(BREAD);
    game().shelves[11][0] = key(TART);
    game().shelves[12][0] = key(HOLY_WATER);
    EXPECT_EQ(buildShelfOccupancy(), SHELF_LAYOUT_ON_WALL);
    EXPECT_EQ(gShopGrid[11 * SHOP_GRID_COLUMNS + 0], SHOP_CELL_FREE);
    EXPECT_EQ(gShopGrid[12 * SHOP_GRID_COLUMNS + 0], SHOP_CELL_FREE);

    liftShelfItems(0, 1);
    EXPECT_EQ(gShopPlacement.shelfCarry[0], key(BREAD));
    EXPECT_EQ(gShopPlacement.shelfCarry[1], ITEM_KEY_NONE);
    EXPECT_EQ(game().shelves[11][0], key(TART));
    EXPECT_EQ(game().shelves[12][0], key(HOLY_WATER));
    liftShelfItems(0, 0);
    EXPECT_EQ(game().shelves[10][19], key(BREAD));
    EXPECT_EQ(game().shelves[11][0], key(TART));

    clearShelf(0);
    EXPECT_EQ(game().shelves[10][19], ITEM_KEY_NONE);
    EXPECT_EQ(game().shelves[11][0], key(TART));
    EXPECT_EQ(stored(key(BREAD)), 1);
    EXPECT_EQ(stored(key(TART)), 0);
    // The bottom row's neighbour in memory is the next record's field.
    game().shelfLayout[0] = {3, 14};
    game().shelves[14][3] = key(BREAD);
    clearShelf(0);
    EXPECT_EQ(game().shelves[14][3], ITEM_KEY_NONE);

    // Loading such a save puts the layout back to the size's default.
    EXPECT_EQ(repairShelfLayout(game()), 1);
    EXPECT_EQ(game().shelfLayout[0].x, SHELF_LAYOUTS[0][0].x);
    EXPECT_EQ(game().shelfLayout[0].z, SHELF_LAYOUTS[0][0].z);
    EXPECT_EQ(repairShelfLayout(game()), 0);
}

TEST_F(ShopGridTest, RepairLeavesTheGridOfTheRunningShopAlone) {
    GameState other = game();
    other.shelfLayout[1] = {-4, 0};
    int32_t before = gShopGrid[0 * SHOP_GRID_COLUMNS + 1];
    EXPECT_EQ(repairShelfLayout(other), 1);
    EXPECT_EQ(other.shelfLayout[1].x, SHELF_LAYOUTS[0][1].x);
    EXPECT_EQ(gShopGrid[0 * SHOP_GRID_COLUMNS + 1], before);
}

TEST_F(ShopGridTest, TheProbeTruncatesTenthsOfAHalfTurnInSinglePrecision) {
    const float pi = 3.14159265358979f;
    const float yaw = pi;   // the camera turned half round
    struct Case {
        float facing;
        int32_t direction;
        const char* what;
    };
    const Case CASES[] = {
        {0.0f, 0, "straight on: +z"},
        {(float)(3.0 * M_PI / 2.0) - yaw, 1, "right: a hair under pi/2, tenths 4, +x"},
        {(float)(M_PI / 2.0) - yaw, 3, "left: tenths -5, -x"},
        {-pi, 2, "-pi: tenths -10, -z"},
        {pi / 2.0f, 3, "exactly pi/2 gives 5: -x"},
    };
    for (const Case& c : CASES) EXPECT_EQ(shelfProbeDirection(c.facing), c.direction) << c.what;

    // Shelf 0 stands on (3, 3), centred at (-3, -1): two units to the right.
    gParty.positions[0] = Vector3{-5.0f, 0.0f, -1.0f};
    gParty.facing = (float)(3.0 * M_PI / 2.0) - yaw;
    findShelfInFront();
    EXPECT_EQ(gShopPlacement.placementCell.x, 3);
    EXPECT_EQ(gShopPlacement.placementCell.z, 3);
    EXPECT_EQ(gShopPlacement.shopEditState[1], 0);
    game().vendingModes[0] = key(SMALL_VENDOR);
    findShelfInFront();
    EXPECT_EQ(gShopPlacement.shopEditState[1], 1) << "a vending shelf in front is shelf + 1";
    gParty.facing = (float)(M_PI / 2.0) - yaw;   // looks left, at the free floor
    findShelfInFront();
    EXPECT_EQ(gShopPlacement.placementCell.x, -1);
}

TEST_F(ShopGridTest, CarryOrderFollowsTheShelfShape) {
    // Shelf 2 stands along z at (0, 1); shelf 1 along x at (1, 0).
    for (int32_t k = 0; k < 4; k++) game().shelves[1 + k][0] = key(BREAD, k);
    liftShelfItems(2, 1);
    for (int32_t k = 0; k < 4; k++) {
        EXPECT_EQ(gShopPlacement.shelfCarry[k], key(BREAD, k));
        EXPECT_EQ(game().shelves[1 + k][0], ITEM_KEY_NONE);
    }
    game().shelfLayout[2] = {0, 2};
    liftShelfItems(2, 0);
    for (int32_t k = 0; k < 4; k++) EXPECT_EQ(game().shelves[2 + k][0], key(BREAD, k));
    EXPECT_EQ(game().shelves[1][0], ITEM_KEY_NONE);
}

TEST_F(ShopGridTest, AtmosphereAddsDecorationsAndGoodsWithinThirteen) {
    struct Case {
        int32_t floor, wall, table, rug;
        int32_t p, q;
    };
    const Case CASES[] = {
        {6, 2, 7, 5, 13, -1},      // 5 + 5 + 10 + 10 = 30, clamped
        {14, 8, 6, 7, 0, -13},     // four times -10, clamped
        {9, 7, 1, 0, -13, -1},     // -5 - 10 - 5 + 2 = -18, clamped
        {20, 20, 9, 9, 0, 0},      // choices past the tables add nothing
    };
    for (const Case& c : CASES) {
        game().shopFloor = c.floor;
        game().shopWall = c.wall;
        game().shopTable = c.table;
        game().shopRug = c.rug;
        computeShopAtmosphere();
        EXPECT_EQ(gShopAtmosphere.decoration, c.p) << c.floor << " " << c.wall << " " << c.table << " " << c.rug;
        EXPECT_EQ(gShopAtmosphere.items, c.q);
    }
    // The first variants give (-4, 0); a fancy tart +1, a plain bread -1 and
    // a holy water of the 3000s +3.
    game().shopFloor = game().shopWall = game().shopTable = game().shopRug = 0;
    game().shelves[3][3] = key(TART);
    game().shelves[3][4] = key(TART);
    game().shelves[4][3] = key(BREAD);
    game().shelves[4][4] = key(HOLY_WATER);
    computeShopAtmosphere();
    EXPECT_EQ(gShopAtmosphere.decoration, -4 + 2 - 1);
    EXPECT_EQ(gShopAtmosphere.items, 3);
    for (int32_t z = 0; z < 5; z++)
        for (int32_t x = 0; x < SHOP_GRID_COLUMNS; x++) game().shelves[z][x] = key(HOLY_WATER);
    computeShopAtmosphere();
    EXPECT_EQ(gShopAtmosphere.items, SHOP_ATMOSPHERE_LIMIT);
}

TEST_F(ShopGridTest, ApplyingALayoutReturnsShelvesMachinesAndStock) {
    game().shopSize = 1;
    game().shelfLayout[0] = {9, 9};
    game().shelves[3][3] = key(BREAD);
    game().shelves[0][1] = key(SMALL_VENDOR);
    game().vendingModes[1] = key(SMALL_VENDOR);
    game().vendingStock[1][0] = key(TART);
    game().vendingStock[1][5] = key(TART, 2);
    applyShopLayout(game());
    EXPECT_EQ(stored(key(BREAD)), 1);
    EXPECT_EQ(stored(key(SMALL_VENDOR)), 1);
    EXPECT_EQ(stored(key(TART)), 1);
    EXPECT_EQ(stored(key(TART, 2)), 1);
    EXPECT_EQ(game().vendingModes[1], 0);
    EXPECT_EQ(game().vendingStock[1][0], ITEM_KEY_NONE);
    EXPECT_EQ(game().shelves[0][1], ITEM_KEY_NONE);
    EXPECT_EQ(game().shelfLayout[0].x, SHELF_LAYOUTS[1][0].x);
    EXPECT_EQ(buildShelfOccupancy(), SHELF_LAYOUT_VALID);
}
