// shop/shop_state.cpp: the shop scene's words that the shop floor's control
// shares.
#include "shop/shop_state.h"

int32_t gShopDayPhase;
int32_t gFieldTicks;
int32_t gShopSequence;
