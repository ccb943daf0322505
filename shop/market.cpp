#include "shop/market.h"

int32_t gMarketMode;

// The market arrives with the shop.
void resetTradeConfirm() {}
void saveMarketListState() {}
void restoreMarketListState() {}

void resumeMarketScene() {}
int32_t isMarketBuySelected() { return 0; }

// The scene's own state, menu and pointer arrive with the market; the kind
// is kept already, as the scene's pictures depend on it.
void enterMarketScene(int32_t mode) { gMarketMode = mode; }

void resetMarketState() { gMarketMode = 0; }
