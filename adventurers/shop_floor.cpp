#include "adventurers/shop_floor.h"

int32_t gShopFloorState;
