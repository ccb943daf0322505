// shop/market.h: the market and the merchants' guild.
#pragma once
#include <cstdint>

extern int32_t gMarketMode;   // 0 the merchants' guild, 1 the market

void resetTradeConfirm();
// Around an overlay over the market: its list cursors kept and given back.
void saveMarketListState();
void restoreMarketListState();
// Run when the market takes over again from an overlay; nothing to do.
void resumeMarketScene();
// Back to the values a fresh process starts with (a new boot in the same process).
void resetMarketState();
