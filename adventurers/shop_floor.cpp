#include "adventurers/shop_floor.h"

int32_t gShopFloorState;
int32_t gShopDayPhase;
int32_t gShopSequence;
int32_t gFieldTicks;
int32_t gSelectedShelf;

void resetShopFloorState() {
    gShopFloorState = 0;
    gFieldTicks = 0;
    gSelectedShelf = 0;
}

void resetShopDayState() {
    gShopDayPhase = 0;
    gShopSequence = SHOP_SEQUENCE_NONE;
}

// The shelves' stock returning to storage and the new layout arrive with the
// shop-floor control; until then the shelves stay as they are.
void applyShopLayout(GameState&) {}
