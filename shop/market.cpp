#include "shop/market.h"

int32_t gMarketMode;

// The market arrives with the shop.
void resetTradeConfirm() {}

void resetMarketState() { gMarketMode = 0; }
