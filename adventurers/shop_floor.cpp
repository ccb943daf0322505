#include "adventurers/shop_floor.h"

#include "shop/counter.h"

int32_t gShopFloorState;
int32_t gShopDayPhase;
int32_t gShopSequence;
int32_t gFieldTicks;
ShopAtmosphere gShopAtmosphere;
int32_t gSelectedShelf;

void resetShopFloorState() {
    gShopFloorState = 0;
    gFieldTicks = 0;
    gSelectedShelf = 0;
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
void enterShopFromDoor() {}
void placeShopkeeper(float, float) {}

void updateShopFloor() {
    if (gShopFloorState == SHOP_FLOOR_OPEN) updateShopDay();
}
