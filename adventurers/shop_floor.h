// adventurers/shop_floor.h: control of the heroine on the shop floor.
#pragma once
#include <cstdint>

// 0 and 10 first menu, 1 walking, 2 editing shelves, 4 the shop is open,
// 15 to 18 information panels, 30 lecture menu, 50 item information.
extern int32_t gShopFloorState;
constexpr int32_t SHOP_FLOOR_OPEN = 4;
// Back to the values a fresh process starts with (a new boot in the same process).
void resetShopFloorState();
