#include "shop/buysell_table.h"

#include <cstring>

#include "engine/game_folder.h"
#include "engine/text_data.h"
#include "platform/window.h"
#include "shop/table_lines.h"
#include "shop/text_fields.h"

TradingTest gBuySell;
int32_t gBuySellTables[2][TRADING_TEST_LINE_KINDS];

void parseBuySellTable(const char* text, int32_t length) {
    gBuySell = TradingTest{};
    memset(gBuySellTables, 0, sizeof gBuySellTables);
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        const char* v;
        if (lineValue(line, "ok:")) {
            gBuySell.enabled = 1;
        } else if ((v = lineValue(line, "CstNum:"))) {
            gBuySell.customerType = parseTextInt(v, line.end);
        } else if ((v = lineValue(line, "BuySel:"))) {
            gBuySell.tradingMode = parseTextInt(v, line.end);
        } else if (lineValue(line, "msg")) {
            int32_t k = numberedKey(line, 3, 2, ':');
            if (k >= 0 && k < TRADING_TEST_LINE_KINDS) gBuySellTables[0][k] = parseTextInt(lineAt(line, 6), line.end);
        } else if (lineValue(line, "rmsg")) {
            int32_t k = numberedKey(line, 4, 2, ':');
            if (k >= 0 && k < TRADING_TEST_LINE_KINDS) gBuySellTables[1][k] = parseTextInt(lineAt(line, 7), line.end);
        }
    }
}

void loadBuySellTable() {
    TextEntry entry = readTextEntry("data/buysell.txt");
    parseBuySellTable(entry.bytes.get(), entry.length);
}
