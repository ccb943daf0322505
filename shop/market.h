// shop/market.h: the market and the merchants' guild.
#pragma once

void resetTradeConfirm();
