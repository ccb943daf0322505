// shop/decorations.h: the four kinds of shop decoration (walls, floor, rug,
// counter table), the item ids of each kind and the item list that offers
// them. The running game keeps one choice per kind (shopWall .. shopTable,
// with decorationPlus in the same order); the shop floor's decoration menus
// and the item lists both take their ranges from this one table.
#pragma once
#include <cstdint>

#include "shop/shop.h"

// The kind an item list type offers; -1 for a list that is no decoration list.
int32_t decorationKindOfList(int32_t listType);
