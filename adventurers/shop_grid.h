// adventurers/shop_grid.h: the shop floor's grid of 20 x 15 cells, the
// shelves (display tables) standing on it with the items on their cells,
// the vending machines on shelves, the table being moved and the shop's
// atmosphere point. The shelf positions, items, vending words and
// decorations live in the running GameState; gShopGrid is rebuilt from them.
// Main thread.
#pragma once
#include <cstdint>

#include "adventurers/adventurers_state.h"
#include "engine/save_file.h"

// Cell codes of gShopGrid. 2..8 count as shelf cells.
enum ShopCell : int32_t {
    SHOP_CELL_FREE = 0,
    SHOP_CELL_WALL = 1,        // wall or fixture
    SHOP_CELL_SQUARE = 2,      // a 2 x 2 shelf
    SHOP_CELL_ALONG_X = 3,     // a shelf of four along x
    SHOP_CELL_ALONG_Z = 4,     // a shelf of four along z
    SHOP_CELL_RESERVED = 9,    // customers walk here; no shelf may stand here
};
constexpr bool isShelfCell(int32_t code) { return code >= 2 && code <= 8; }

// The base layout of each shop size, row z = 0 first, one digit per cell.
extern const char SHOP_LAYOUTS[SHOP_SIZE_COUNT][SHOP_GRID_ROWS][SHOP_GRID_COLUMNS + 1];

// Shelves per shop size, and each shelf's shape (3: 2 x 2, 4: four in a
// line), its yaw (a shape-4 shelf lies along x at yaw 0, along z otherwise)
// and the cell its model was made for.
extern const int32_t SHOP_SHELF_COUNTS[SHOP_SIZE_COUNT];
extern const float SHELF_YAWS[SHELF_LAYOUT_COUNT];
extern const ShelfPlace SHELF_AUTHORED_CELLS[SHELF_LAYOUT_COUNT];
// The shelves of the running game's shop size.
int32_t shopShelfCount();
// The shop size of a record as a layout index: a damaged one counts as 0.
int32_t shopLayoutIndex(const GameState& game);

// The four cells of a shelf at a position, in carry order: 2 x 2 (x, z),
// (x+1, z), (x, z+1), (x+1, z+1); along z (x, z+k); along x (x+k, z).
void shelfCellsAt(int32_t shelf, ShelfPlace at, ShelfPlace cells[SHELF_CELL_COUNT]);
constexpr bool isInShopGrid(int32_t x, int32_t z) {
    return x >= 0 && x < SHOP_GRID_COLUMNS && z >= 0 && z < SHOP_GRID_ROWS;
}

// buildShelfOccupancy results.
enum ShelfLayoutCheck : int32_t {
    SHELF_LAYOUT_VALID = 0,
    SHELF_LAYOUT_ON_WALL = 1,      // a shelf on a wall, fixture or reserved patch
    SHELF_LAYOUT_OVERLAP = 2,      // a shelf over another
    SHELF_LAYOUT_NEGATIVE = 4,     // a shelf at a negative cell
};
// Copies the size's base layout into gShopGrid and marks every shelf's cells.
// A cell beyond the grid counts as a wall: the positions come from the save.
int32_t buildShelfOccupancy();

// Finds the cell 2 units ahead of member 0 by its facing, in single precision.
void findShelfInFront();
// The cell a point of the floor lies in, each coordinate at least 0.
ShopCellPos shopCellOfPoint(float x, float z);
// The probe's direction from a facing: 0 +z, 1 +x, 2 -z, 3 -x.
int32_t shelfProbeDirection(float facing);

// Every item on the shelf's cells back to storage; the cells empty.
void clearShelf(int32_t shelf);
// lift 1: the shelf's items into gShelfCarry, the cells empty; lift 0:
// gShelfCarry onto the shelf's cells at its present position.
void liftShelfItems(int32_t shelf, int32_t lift);
// Places each shelf model at its cell, the given shelf raised (-1 none).
void placeShelfModels(int32_t raisedShelf);

