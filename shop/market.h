// shop/market.h: the market and the merchants' guild.
#pragma once
#include <cstdint>

extern int32_t gMarketMode;   // 0 the merchants' guild, 1 the market
enum MarketMode : int32_t {
    MARKET_MODE_GUILD = 0,
    MARKET_MODE_MARKET = 1,
};

// Enters mode 6 as the guild or the market: from the town map, or when a
// loaded game resumes there.
void enterMarketScene(int32_t mode);

void resetTradeConfirm();
// 1 while the scene's menu has its Buy entry selected: the item windows then
// name the purchase price.
int32_t isMarketBuySelected();
// Around an overlay over the market: its list cursors kept and given back.
void saveMarketListState();
void restoreMarketListState();
// Run when the market takes over again from an overlay; nothing to do.
void resumeMarketScene();
// Back to the values a fresh process starts with (a new boot in the same process).
void resetMarketState();
