// shop/buysell_table.h: the trading test values, read at start-up from
// "data/buysell.txt". While the switch is on, every visit of the day is one
// test customer and the lines are fixed variants, so a line can be checked.
#pragma once
#include <cstdint>

constexpr int32_t TRADING_TEST_LINE_KINDS = 20;

struct TradingTest {
    int32_t enabled;        // "ok:"
    int32_t customerType;   // the visitor of every test visit
    int32_t tradingMode;    // 0 a buyer, 1 a seller, other values a request
};
extern TradingTest gBuySell;
// Fixed line variants per line kind: [0] from "msgNN:", [1] from "rmsgNN:".
extern int32_t gBuySellTables[2][TRADING_TEST_LINE_KINDS];

// The trading test table from its text (see shop/table_lines.h).
void parseBuySellTable(const char* text, int32_t length);
