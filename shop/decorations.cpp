#include "shop/decorations.h"

#include "shop/item_list.h"

// Flooring is category 50 and wallpaper category 51 in the item table.
const DecorationRange DECORATION_RANGES[DECORATION_KIND_COUNT] = {
    {5101, 5199, ITEM_LIST_WALLS},
    {5001, 5099, ITEM_LIST_FLOORS},
    {5401, 5499, ITEM_LIST_RUGS},
    {5301, 5399, ITEM_LIST_TABLES},
};

int32_t decorationKindOfList(int32_t listType) {
    for (int32_t k = 0; k < DECORATION_KIND_COUNT; k++)
        if (DECORATION_RANGES[k].listType == listType) return k;
    return -1;
}
