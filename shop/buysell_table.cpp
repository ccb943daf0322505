#include "shop/buysell_table.h"

TradingTest gBuySell;
int32_t gBuySellTables[2][TRADING_TEST_LINE_KINDS];
