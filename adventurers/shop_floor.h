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

// gShopFloorState.
enum ShopFloorStateCode : int32_t {
    SHOP_FLOOR_MENU = 0,             // the shop menu
    SHOP_FLOOR_WALKING = 1,
    SHOP_FLOOR_EDITING = 2,          // moving tables
    SHOP_FLOOR_DECORATING = 3,       // choosing a decoration
    SHOP_FLOOR_OPEN = 4,             // the shop day runs
    SHOP_FLOOR_MENU_CHOSEN = 10,
    SHOP_FLOOR_FAIRY_MENU = 15,
    SHOP_FLOOR_FAIRY_CHOSEN = 16,
    SHOP_FLOOR_INFO_PAGE = 17,       // atmosphere, news, orders
    SHOP_FLOOR_LEVEL_LIST = 18,
    SHOP_FLOOR_HOLDS_OVERLAY = 23,   // a decoration's pictures load
    SHOP_FLOOR_LECTURES = 30,
    SHOP_FLOOR_ITEM_INFO = 50,
};
extern int32_t gShopFloorState;
// 0 walking, 1 choosing an item for a shelf cell, 2 stocking a vending machine.
extern int32_t gShopEditMode;

// The menus: slides 0..12 (input above 9), the 15 ticks between a choice
// and its effect, the cursors (shop or fairy menu; lecture list).
extern int32_t gShopMenuSlide;
extern int32_t gLectureMenuSlide;
extern int32_t gShopMenuDelay;
extern int32_t gShopMenuCursor[2];
constexpr int32_t SHOP_MENU_A_MAX = 7;
constexpr int32_t SHOP_MENU_B_MAX = 8;
extern int32_t gShopMenuListA[SHOP_MENU_A_MAX];
extern int32_t gShopMenuCountA;
extern int32_t gShopMenuListB[SHOP_MENU_B_MAX];
extern int32_t gShopMenuCountB;
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
extern int32_t gShopMenuCounter;     // the information pages' page-in, up to 10
extern int32_t gAbilityListCursor;   // merchant-level list row 0..28
extern int32_t gAbilityListTop;      // its top row 0..24
extern int32_t gSelectedShelf;       // the table being moved
// The vending machine's slot list: cursor (0 revert, 1 done, 2.. slots),
// top row, last cursor value.
extern int32_t gShopFloorCursor[3];
extern int32_t gVendingListOpen;     // the storage list is open for a slot
extern int32_t gVendingSlotsShown[VENDING_STOCK_SLOTS];
extern int32_t gStockListOpened;     // the shelf list has been opened once, cursors reset
// The four decoration choices and plus levels when a decoration list opened.
extern int32_t gDecorationBackup[8];
// The talk prompt's countdown and the talk lock.
extern int32_t gShopActionTimer[2];
extern int32_t gLeavingShop;
extern int32_t gMorningGreeting;     // toggles every morning
extern int32_t gNightTalkVariant;    // 0..2

// Back to the values a fresh process starts with (a new boot in the same process).
void resetShopFloorBootState();
void resetShopDayState();

// Floor start: walking, not leaving.
void resetShopFloorState();
void updateShopFloor();
// Both menus by the merchant level and the date.
void startShopDayMessages();
// Entrance 0 the door, 1 inside.
void placePlayerAtEntrance(int32_t entrance);
// The closed shop, inside, facing the fairy.
void enterShop();
// The shop entered through the door, with the story's morning hooks.
void enterShopFromDoor();
void clampShopBounds();
// While tables are moved: the carried items over the moved shelf's cells.
void drawShopPlacementGrid();
// A phase has closed: the controlled character's action state is reset and
// the shopkeeper stands behind the counter at (x, z), facing the camera.
void placeShopkeeper(float x, float z);

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
