// shop/market.h: the market and the merchants' guild.
#pragma once
#include <cstdint>

extern int32_t gMarketMode;   // 0 the merchants' guild, 1 the market

void resetTradeConfirm();
