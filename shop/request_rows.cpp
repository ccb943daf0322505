#include "shop/request_rows.h"

#include "shop/item_db.h"

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
