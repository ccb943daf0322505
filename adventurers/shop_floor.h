// adventurers/shop_floor.h: the heroine's side of the shop on shop and town
// stages: walking, stocking shelves and vending machines, the shop and
// fairy menus, editing the decorations and moving the tables, opening the
// shop (whose day then runs the counter), leaving for the town, and the
// morning greeting, the day phases and the night talk. updateShopFloor runs
// once per logic tick from the field frame; main thread.
#pragma once
#include <cstdint>

#include "adventurers/shop_grid.h"
#include "engine/save_file.h"

// Shop menu codes (list A).
enum ShopMenuCode : int32_t {
    SHOP_MENU_OPEN = 0,
    SHOP_MENU_FLOORING = 1,
    SHOP_MENU_WALLS = 2,
    SHOP_MENU_RUG = 3,
    SHOP_MENU_TABLES = 4,
    SHOP_MENU_MOVE_TABLES = 5,
    SHOP_MENU_CANCEL = 6,
};
// Fairy menu codes (list B); 1..3 are the lectures of code 7.
enum FairyMenuCode : int32_t {
    FAIRY_MENU_ATMOSPHERE = 0,
    FAIRY_MENU_SELLING = 1,
    FAIRY_MENU_BUYING = 2,
    FAIRY_MENU_ORDERS = 3,
    FAIRY_MENU_NEVER_MIND = 4,
    FAIRY_MENU_LEVEL = 5,
    FAIRY_MENU_TIME = 6,
    FAIRY_MENU_LECTURES = 7,
    FAIRY_MENU_NEWS = 8,
    FAIRY_MENU_ORDERS_DUE = 9,
};

// Both menus by the merchant level and the date.
void startShopDayMessages();
void clampShopBounds();

// Whether a vending machine may go on one more shelf at merchant level L
// (0-based) with `placed` machines already standing: 0 yes, 1 not at this
// level, 2 the level's limit is reached.
int32_t vendingPlacementRefusal(int32_t merchantLevel, int32_t placed);
// The stock slots of a vending machine key.
int32_t vendingSlotCount(int32_t machineKey);
// Moves a shelf by (dx, dz) cells: 326 when it moved, 362 when the move put
// it on a wall, a fixture, a reserved patch or a negative cell and was
// undone; 0 for no move. Another shelf may be passed over.
int32_t moveShelf(int32_t shelf, int32_t dx, int32_t dz);
// "Revert To Table": the machine and all its stock go back to storage.
void revertVendingMachine(int32_t shelf);
// A shelf cell gets a key from storage (-1 empties it; the old item returns
// there); a vending machine goes onto the cell's shelf when the level
// allows. Returns 0, or the vendingPlacementRefusal said in the message window.
int32_t placeKeyOnCell(int32_t x, int32_t z, int32_t key);
// Edit mode 2 on that shelf's machine: the slot list, cursor on the first slot.
void beginVendingStocking(int32_t shelf);
