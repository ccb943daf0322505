#include "adventurers/shop_grid.h"

#include <cstring>

#include "adventurers/party.h"
#include "dungeon/dungeon.h"
#include "shop/shop.h"

const char SHOP_LAYOUTS[SHOP_SIZE_COUNT][SHOP_GRID_ROWS][SHOP_GRID_COLUMNS + 1] = {
    {
        "10000011110000000000", "00000991110000000000", "00000991110000000000", "00000001110000000000",
        "00000001110000000000", "10000001110000000000", "11111001110000000000", "11111001110000000000",
        "11111111110000000000", "00000000000000000000", "00000000000000000000", "00000000000000000000",
        "00000000000000000000", "00000000000000000000", "00000000000000000000",
    },
    {
        "10000009911000000000", "00000009901000000000", "00000000001000000000", "00000000001000000000",
        "00000000001000000000", "10000000001000000000", "11111000011000000000", "11111000011000000000",
        "11111110111000000000", "11111111111000000000", "00000000000000000000", "00000000000000000000",
        "00000000000000000000", "00000000000000000000", "00000000000000000000",
    },
    {
        "10000009900000010000", "00000009900000010000", "00000000000000010000", "00000000000000010000",
        "00000000000000010000", "10000000000000010000", "11111000000000110000", "11111000000000110000",
        "11111110000001110000", "11111111111111110000", "00000000000000000000", "00000000000000000000",
        "00000000000000000000", "00000000000000000000", "00000000000000000000",
    },
    {
        "10000009900000010000", "00000009900000010000", "00000000000000010000", "00000000000000010000",
        "00000000000000010000", "00000000000000010000", "00000000000000010000", "00000000000000010000",
        "00000000000000010000", "00000000000000010000", "10000111110000110000", "10000111110000110000",
        "10000111111101110000", "11111111111111110000", "00000000000000000000",
    },
};

const int32_t SHOP_SHELF_COUNTS[SHOP_SIZE_COUNT] = {3, 4, 6, 10};
const int32_t SHELF_SHAPES[SHELF_LAYOUT_COUNT] = {3, 4, 4, 4, 3, 4, 3, 3, 3, 3};
const float SHELF_YAWS[SHELF_LAYOUT_COUNT] = {0.0f, 0.0f, 1.5707964f, -1.5707964f, 0.0f,
                                              0.0f, 0.0f, 0.0f,       0.0f,        0.0f};
const ShelfPlace SHELF_AUTHORED_CELLS[SHELF_LAYOUT_COUNT] = {{4, 3}, {3, 4}, {5, 2}, {4, 2}, {4, 3},
                                                            {3, 4}, {4, 3}, {4, 3}, {4, 3}, {4, 3}};

int32_t gShopGrid[SHOP_GRID_ROWS * SHOP_GRID_COLUMNS];
ShopPlacementState gShopPlacement;
ShopAtmosphere gShopAtmosphere;

namespace {

constexpr float PROBE_REACH = 2.0f;

struct AtmospherePoint {
    int32_t p;
    int32_t q;
};
// Per decoration choice; a choice past its table adds nothing.
constexpr AtmospherePoint FLOOR_ATMOSPHERE[] = {{-4, 0}, {0, 3},   {-1, 4}, {-2, -1}, {-2, -1}, {-4, 4}, {5, 0},  {2, 4},
                                                {-1, 1}, {-5, 0},  {-2, 2}, {1, 4},   {5, -3},  {3, 3},  {0, -10}};
constexpr AtmospherePoint WALL_ATMOSPHERE[] = {{0, 0},   {-5, 1}, {5, -1},  {4, -1}, {-2, 0}, {-2, 2}, {-2, 2}, {-10, 0},
                                               {0, -10}, {2, 4},  {5, -3},  {2, 2},  {3, -2}, {5, 4},  {3, 3}};
constexpr AtmospherePoint TABLE_ATMOSPHERE[] = {{-2, 0}, {-5, -1}, {0, 4}, {-3, 0}, {2, 3}, {3, 4}, {0, -10}, {10, 0}};
constexpr AtmospherePoint RUG_ATMOSPHERE[] = {{2, 0}, {0, 2}, {5, 0}, {5, -3}, {3, 3}, {10, 0}, {3, 3}, {0, -10}};

template <int32_t N>
AtmospherePoint atmosphereOf(const AtmospherePoint (&table)[N], int32_t choice) {
    return choice >= 0 && choice < N ? table[choice] : AtmospherePoint{0, 0};
}

int32_t clampAtmosphere(int32_t v) {
    return v < -SHOP_ATMOSPHERE_LIMIT ? -SHOP_ATMOSPHERE_LIMIT : v > SHOP_ATMOSPHERE_LIMIT ? SHOP_ATMOSPHERE_LIMIT : v;
}

int32_t shelfCellCode(int32_t shelf) {
    if (SHELF_SHAPES[shelf] == 3) return SHOP_CELL_SQUARE;
    return SHELF_YAWS[shelf] == 0.0f ? SHOP_CELL_ALONG_X : SHOP_CELL_ALONG_Z;
}

}  // namespace

int32_t shopLayoutIndex(const GameState& game) {
    return game.shopSize >= 0 && game.shopSize < SHOP_SIZE_COUNT ? game.shopSize : 0;
}

int32_t shopShelfCount() { return SHOP_SHELF_COUNTS[shopLayoutIndex(runningGameState())]; }

void shelfCellsAt(int32_t shelf, ShelfPlace at, ShelfPlace cells[SHELF_CELL_COUNT]) {
    int32_t code = shelfCellCode(shelf);
    for (int32_t k = 0; k < SHELF_CELL_COUNT; k++) {
        if (code == SHOP_CELL_SQUARE) cells[k] = {at.x + k % 2, at.z + k / 2};
        else if (code == SHOP_CELL_ALONG_Z) cells[k] = {at.x, at.z + k};
        else cells[k] = {at.x + k, at.z};
    }
}

// The check of buildShelfOccupancy on any record's layout, into gShopGrid.
static int32_t markShelves(const GameState& game) {
    int32_t size = shopLayoutIndex(game);
    for (int32_t z = 0; z < SHOP_GRID_ROWS; z++)
        for (int32_t x = 0; x < SHOP_GRID_COLUMNS; x++)
            gShopGrid[z * SHOP_GRID_COLUMNS + x] = SHOP_LAYOUTS[size][z][x] - '0';
    int32_t result = SHELF_LAYOUT_VALID;
    for (int32_t i = 0; i < SHOP_SHELF_COUNTS[size]; i++) {
        ShelfPlace at = game.shelfLayout[i];
        if (at.x < 0 || at.z < 0) return SHELF_LAYOUT_NEGATIVE;
        ShelfPlace cells[SHELF_CELL_COUNT];
        shelfCellsAt(i, at, cells);
        for (const ShelfPlace& c : cells) {
            if (!isInShopGrid(c.x, c.z)) {
                result |= SHELF_LAYOUT_ON_WALL;
                continue;
            }
            int32_t& cell = gShopGrid[c.z * SHOP_GRID_COLUMNS + c.x];
            if (cell == SHOP_CELL_WALL || cell == SHOP_CELL_RESERVED) result |= SHELF_LAYOUT_ON_WALL;
            else if (cell != SHOP_CELL_FREE) result |= SHELF_LAYOUT_OVERLAP;
            cell = shelfCellCode(i);
        }
    }
    return result;
}

int32_t buildShelfOccupancy() { return markShelves(runningGameState()); }

int32_t findShelfAt(int32_t x, int32_t z) {
    const GameState& game = runningGameState();
    for (int32_t i = shopShelfCount() - 1; i >= 0; i--) {
        ShelfPlace cells[SHELF_CELL_COUNT];
        shelfCellsAt(i, game.shelfLayout[i], cells);
        for (const ShelfPlace& c : cells)
            if (c.x == x && c.z == z) return i;
    }
    return -1;
}

int32_t repairShelfLayout(GameState& game) {
    int32_t saved[SHOP_GRID_ROWS * SHOP_GRID_COLUMNS];
    memcpy(saved, gShopGrid, sizeof saved);
    int32_t check = markShelves(game);
    memcpy(gShopGrid, saved, sizeof saved);
    if (check == SHELF_LAYOUT_VALID) return 0;
    initShelfLayout(game);
    return 1;
}

ShopCellPos shopCellOfPoint(float x, float z) {
    int32_t cx = (int32_t)((x + 10.0f) / 2.0f);
    int32_t cz = (int32_t)((z + 8.0f) / 2.0f);
    return {cx < 0 ? 0 : cx, cz < 0 ? 0 : cz};
}

int32_t shelfProbeDirection(float facing) {
    // Truncated tenths of a half turn, in single precision: facing right
    // with the camera turned half round is a hair under pi/2 and gives 4.
    float tenths = facing / PI * 10.0f;
    int32_t b = (int32_t)tenths;
    if (b == 0) return 0;
    if (b == 4) return 1;
    if (b >= -11 && b <= -9) return 2;
    return 3;
}

void findShelfInFront() {
    const Vector3& at = gParty.positions[0];
    float x = at.x, z = at.z;
    switch (shelfProbeDirection(gParty.facing)) {
    case 0: z += PROBE_REACH; break;
    case 1: x += PROBE_REACH; break;
    case 2: z -= PROBE_REACH; break;
    default: x -= PROBE_REACH; break;
    }
    ShopCellPos cell = shopCellOfPoint(x, z);
    int32_t code = isInShopGrid(cell.x, cell.z) ? gShopGrid[cell.z * SHOP_GRID_COLUMNS + cell.x] : SHOP_CELL_WALL;
    if (!isShelfCell(code)) {
        gShopPlacement.placementCell = {-1, -1};
        return;
    }
    gShopPlacement.placementCell = cell;
    gShopPlacement.placementCursorPos[0] = (float)(2 * cell.x - 9);
    gShopPlacement.placementCursorPos[1] = (float)(2 * cell.z - 7);
    int32_t shelf = findShelfAt(cell.x, cell.z);
    if (shelf >= 0 && runningGameState().vendingModes[shelf] != 0) gShopPlacement.shopEditState[1] = shelf + 1;
}

void clearShelf(int32_t shelf) {
    if (shelf < 0 || shelf >= SHELF_LAYOUT_COUNT) return;
    GameState& game = runningGameState();
    ShelfPlace cells[SHELF_CELL_COUNT];
    shelfCellsAt(shelf, game.shelfLayout[shelf], cells);
    for (const ShelfPlace& c : cells) {
        if (!isInShopGrid(c.x, c.z)) continue;
        int32_t& key = game.shelves[c.z][c.x];
        addItemToStorage(key);
        key = ITEM_KEY_NONE;
    }
}

void liftShelfItems(int32_t shelf, int32_t lift) {
    if (shelf < 0 || shelf >= SHELF_LAYOUT_COUNT) return;
    GameState& game = runningGameState();
    ShelfPlace cells[SHELF_CELL_COUNT];
    shelfCellsAt(shelf, game.shelfLayout[shelf], cells);
    for (int32_t k = 0; k < SHELF_CELL_COUNT; k++) {
        const ShelfPlace& c = cells[k];
        bool inside = isInShopGrid(c.x, c.z);
        if (lift) {
            gShopPlacement.shelfCarry[k] = inside ? game.shelves[c.z][c.x] : ITEM_KEY_NONE;
            if (inside) game.shelves[c.z][c.x] = ITEM_KEY_NONE;
        } else if (inside) {
            game.shelves[c.z][c.x] = gShopPlacement.shelfCarry[k];
        } else {
            // Nowhere to put it down: back to storage rather than lost.
            addItemToStorage(gShopPlacement.shelfCarry[k]);
        }
        if (!lift) gShopPlacement.shelfCarry[k] = ITEM_KEY_NONE;
    }
}

void placeShelfModels(int32_t raisedShelf) {
    const GameState& game = runningGameState();
    for (int32_t i = 0; i < SHELF_LAYOUT_COUNT; i++) {
        float* at = gPlacedBlocks.position[PLACED_GROUP_B_FIRST + i];
        at[0] = 2.0f * (float)(game.shelfLayout[i].x - SHELF_AUTHORED_CELLS[i].x);
        at[1] = i == raisedShelf ? 0.5f : 0.0f;
        at[2] = 2.0f * (float)(game.shelfLayout[i].z - SHELF_AUTHORED_CELLS[i].z);
    }
}

void applyShopLayout(GameState& game) {
    for (auto& row : game.shelves)
        for (int32_t& key : row) {
            addItemToStorage(key);
            key = ITEM_KEY_NONE;
        }
    // Every vending word, not only the new size's shelves: a machine left on
    // a shelf the size does not have would otherwise be lost.
    for (int32_t i = 0; i < SHELF_LAYOUT_COUNT; i++) {
        clearShelf(i);
        for (int32_t& key : game.vendingStock[i]) {
            addItemToStorage(key);
            key = ITEM_KEY_NONE;
        }
        game.vendingModes[i] = 0;
    }
    initShelfLayout(game);
    computeShopAtmosphere();
}

void computeShopAtmosphere() {
    const GameState& game = runningGameState();
    AtmospherePoint parts[4] = {atmosphereOf(FLOOR_ATMOSPHERE, game.shopFloor), atmosphereOf(WALL_ATMOSPHERE, game.shopWall),
                                atmosphereOf(TABLE_ATMOSPHERE, game.shopTable), atmosphereOf(RUG_ATMOSPHERE, game.shopRug)};
    int32_t p = 0, q = 0;
    for (const AtmospherePoint& a : parts) {
        p += a.p;
        q += a.q;
    }
    for (const auto& row : game.shelves)
        for (int32_t key : row) {
            if (key < 0) continue;
            int32_t id = itemKeyId(key);
            int32_t r = findItemDef(id);
            if (r < 0) continue;
            int32_t flags = gItemDefinitions[r].categoryFlags;
            int32_t e = id >= 3000 && id <= 3099 ? 3 : 1;
            if (flags & ITEM_FLAG_FANCY) p += e;
            if (flags & ITEM_FLAG_PLAIN) p -= e;
            if (flags & ITEM_FLAG_HOLY) q += e;
            if (flags & ITEM_FLAG_SINISTER) q -= e;
        }
    gShopAtmosphere = {clampAtmosphere(p), clampAtmosphere(q)};
}

void resetShopGridState() {
    memset(gShopGrid, 0, sizeof gShopGrid);
    gShopPlacement = ShopPlacementState{};
    for (int32_t& key : gShopPlacement.shelfCarry) key = ITEM_KEY_NONE;
    gShopAtmosphere = ShopAtmosphere{};
}
