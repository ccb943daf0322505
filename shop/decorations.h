// shop/decorations.h: the four kinds of shop decoration (walls, floor, rug,
// counter table), the item ids of each kind and the item list that offers
// them. The running game keeps one choice per kind (shopWall .. shopTable,
// with decorationPlus in the same order); the shop floor's decoration menus
// and the item lists both take their ranges from this one table.
#pragma once
#include <cstdint>

enum DecorationKind : int32_t {
    DECORATION_WALL = 0,
    DECORATION_FLOOR = 1,
    DECORATION_RUG = 2,
    DECORATION_TABLE = 3,
    DECORATION_KIND_COUNT = 4,
};

struct DecorationRange {
    int32_t firstId;    // the kind's first item; a choice is id - firstId
    int32_t lastId;
    int32_t listType;   // the ItemListType that offers the kind
};
extern const DecorationRange DECORATION_RANGES[DECORATION_KIND_COUNT];

// The kind an item list type offers; -1 for a list that is no decoration list.
int32_t decorationKindOfList(int32_t listType);
