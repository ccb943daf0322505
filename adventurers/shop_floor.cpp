#include "adventurers/shop_floor.h"

int32_t gShopFloorState;

void resetShopFloorState() { gShopFloorState = 0; }
