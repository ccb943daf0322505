#include "shop/market.h"

int32_t gMarketMode;

// The market arrives with the shop.
void resetTradeConfirm() {}
void saveMarketListState() {}
void restoreMarketListState() {}

void resumeMarketScene() {}

void resetMarketState() { gMarketMode = 0; }
