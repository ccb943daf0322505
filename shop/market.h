// shop/market.h: the market and the merchants' guild.
#pragma once
#include <cstdint>

extern int32_t gMarketMode;   // 0 the merchants' guild, 1 the market

void resetTradeConfirm();
// Back to the values a fresh process starts with (a new boot in the same process).
void resetMarketState();
