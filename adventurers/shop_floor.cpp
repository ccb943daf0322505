#include "adventurers/shop_floor.h"

#include "shop/counter.h"

int32_t gShopFloorState;
int32_t gShopDayPhase;
int32_t gShopSequence;
int32_t gFieldTicks;
ShopAtmosphere gShopAtmosphere;
int32_t gSelectedShelf;
int32_t gPlayerSubState[2];
int32_t gShopMenu[3];
int32_t gShopMenuListA[SHOP_MENU_ENTRY_MAX];
int32_t gShopMenuCountA;
int32_t gShopMenuListB[SHOP_MENU_ENTRY_MAX];
int32_t gShopMenuCountB;
int32_t gShopMenuCounter;
int32_t gShopFloorMode;
int32_t gShopFloorTimer;
int32_t gShopEditMode;
int32_t gShopEditState[2];
ShopFloorCursor gShopFloorCursor;
int32_t gPlacementCell[2] = {-1, -1};

int32_t findShelfAt(int32_t, int32_t) { return -1; }

void resetShopFloorState() {
    gShopFloorState = 0;
    gFieldTicks = 0;
    gSelectedShelf = 0;
    gPlayerSubState[0] = gPlayerSubState[1] = 0;
    gShopMenu[0] = gShopMenu[1] = gShopMenu[2] = 0;
    for (int32_t i = 0; i < SHOP_MENU_ENTRY_MAX; ++i) gShopMenuListA[i] = gShopMenuListB[i] = 0;
    gShopMenuCountA = 7;
    for (int32_t i = 0; i < gShopMenuCountA; ++i) gShopMenuListA[i] = i;
    gShopMenuCountB = 0;
    gShopMenuCounter = 0;
    gShopFloorMode = 0;
    gShopFloorTimer = 0;
    gShopEditMode = 0;
    gShopEditState[0] = gShopEditState[1] = 0;
    gShopFloorCursor = ShopFloorCursor{};
    gPlacementCell[0] = gPlacementCell[1] = -1;
}

void resetShopDayState() {
    gShopDayPhase = 0;
    gShopAtmosphere = ShopAtmosphere{};
    gShopSequence = SHOP_SEQUENCE_NONE;
}

// The shelves' stock returning to storage and the new layout arrive with the
// shop-floor control; until then the shelves stay as they are.
void applyShopLayout(GameState&) {}

// The characters, the decoration totals and the closed shop's floor arrive
// with the shop-floor control; until then there is nothing to move, count
// or place.
void computeShopAtmosphere() {}
void startClosedShopFloor() {}
void placeShopkeeper(float, float) {}

void updateShopFloor() {
    if (gShopFloorState == SHOP_FLOOR_OPEN) updateShopDay();
}
