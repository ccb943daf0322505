#include "shop/request_rows.h"

#include "engine/game_folder.h"
#include "engine/text_data.h"
#include "platform/window.h"
#include "shop/item_db.h"
#include "shop/table_lines.h"
#include "shop/text_fields.h"

RequestRow gRequestRows[REQUEST_ROW_MAX];
int32_t gOrderRequestCount;

bool itemFitsRequestRow(int32_t itemKey, int32_t requestRow) {
    if (requestRow < 0 || requestRow >= REQUEST_ROW_MAX) return false;
    int32_t row = findItemDef(itemKeyId(itemKey));
    if (row < 0) return false;
    const ItemDefinition& item = gItemDefinitions[row];
    const RequestRow& request = gRequestRows[requestRow];
    return (static_cast<uint32_t>(item.categoryFlags) & request.categoryMask) != 0 || item.category == request.category;
}

const char* requestOrderName(int32_t row) {
    return row >= 0 && row < REQUEST_ROW_MAX ? gRequestRows[row].orderName : "";
}

// Message texts and captions, Shift-JIS.
static const char UNKNOWN_CATEGORY_CAPTION[] = "\x91\xae\x90\xab\x95\x73\x96\xbe\x82\xc8\x93\x6f\x98\x5e";   // "属性不明な登録"
static const char REQUESTS_FULL_TEXT[] =   // "オーダー登録オーバー"
    "\x83\x49\x81\x5b\x83\x5f\x81\x5b\x93\x6f\x98\x5e\x83\x49\x81\x5b\x83\x6f\x81\x5b";

void parseRequestTable(const char* text, int32_t length) {
    for (RequestRow& row : gRequestRows) row = RequestRow{};
    gOrderRequestCount = 0;
    int32_t level = 0;
    TableLimit limit{REQUESTS_FULL_TEXT, false};
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        const char* v = lineValue(line, "LV:");
        if (v) {
            level = parseTextInt(v, line.end);
            continue;
        }
        if (limit.full(gOrderRequestCount, REQUEST_ROW_MAX)) continue;
        // Name, order name and the rest (the category), tabs left out.
        char fields[3][REQUEST_LINE_MAX + 1];
        int32_t lengths[3] = {0, 0, 0};
        int32_t f = 0;
        for (const char* p = line.start; p < lineAt(line, REQUEST_LINE_MAX); p++) {
            if (*p == '\t') continue;
            if (*p == ',' && f < 2) {
                f++;
                continue;
            }
            fields[f][lengths[f]++] = *p;
        }
        RequestRow& row = gRequestRows[gOrderRequestCount++];
        copyTextField(fields[0], fields[0] + lengths[0], row.name, REQUEST_NAME_SIZE);
        copyTextField(fields[1], fields[1] + lengths[1], row.orderName, REQUEST_NAME_SIZE);
        const char* category = fields[2];
        const char* categoryEnd = fields[2] + lengths[2];
        row.categoryMask = static_cast<uint32_t>(parseItemCategoryCode(category, categoryEnd));
        row.category = -1;
        if (row.categoryMask == 0) {
            row.category = findItemCategoryByName(category, categoryEnd);
            if (row.category < 0) {
                showTableText(category, categoryEnd, UNKNOWN_CATEGORY_CAPTION);
                showTableText(line.start, line.end, UNKNOWN_CATEGORY_CAPTION);
            }
        }
        row.rank = level - 1;
    }
}

void loadRequestTable() {
    TextEntry entry = readTextEntry("data/oder.txt");
    parseRequestTable(entry.bytes.get(), entry.length);
}
