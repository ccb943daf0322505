// adventurers/shop_floor.h: control of the heroine on the shop floor.
#pragma once
#include <cstdint>

// 0 and 10 first menu, 1 walking, 2 editing shelves, 4 the shop is open,
// 15 to 18 information panels, 30 lecture menu, 50 item information.
extern int32_t gShopFloorState;
constexpr int32_t SHOP_FLOOR_OPEN = 4;
constexpr int32_t SHOP_FLOOR_WALKING = 1;
constexpr int32_t SHOP_FLOOR_EDITING = 2;
constexpr int32_t SHOP_FLOOR_HOLDS_OVERLAY = 23;
constexpr int32_t SHOP_FLOOR_ITEM_INFO = 50;
extern int32_t gShopDayPhase;    // 0 before the shop opens, 1 after its last phase
extern int32_t gShopSequence;    // 1 a new morning, 2 back from the town map
extern int32_t gFieldTicks;      // the shop floor's tick counter
// Back to the values a fresh process starts with (a new boot in the same process).
void resetShopFloorState();
