#include "shop/market.h"

// The market arrives with the shop.
void resetTradeConfirm() {}
