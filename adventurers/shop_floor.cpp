#include "adventurers/shop_floor.h"

int32_t gShopFloorState;
int32_t gShopDayPhase;
int32_t gShopSequence;
int32_t gFieldTicks;

void resetShopFloorState() {
    gShopFloorState = 0;
    gShopDayPhase = 0;
    gShopSequence = 0;
    gFieldTicks = 0;
}
