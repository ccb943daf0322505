// shop/item_icon_cells.h: the item icon sheets' layout, planned from the item
// table. The game loads the sheets to it (shop/item_icons.cpp) and
// tools/makepictures draws the sample sheets to it.
#pragma once
#include <cstdint>

// One sheet "bmp/item/item%02d.bmp" per item category (item id / 100), 256
// texels wide: eight 32 x 32 icons a row, at least two rows; an item's icon
// sits at its cell (id % 100).
constexpr int32_t ITEM_ICON_CATEGORY_COUNT = 256;
constexpr int32_t ITEM_ICON_ROW_MAX = 600;   // the rows of the item table
struct ItemIconSheet {
    int32_t category;
    int32_t height;   // texels
};
// One row of the item table as the sheets see it.
struct ItemIconRow {
    int32_t valid;
    int32_t category;
    int32_t cell;
};

// The sheets the system set loads for the rows of an item table: walking the
// rows in table order, each row whose category is above every category
// planned so far plans that category's sheet, high enough for its count of
// valid rows. Returns how many were written to out.
int32_t planItemIconSheets(const ItemIconRow* rows, int32_t rowCount, ItemIconSheet out[ITEM_ICON_CATEGORY_COUNT]);
// The rows of an item table's text, read as the game reads "data/item.txt"
// (into the game's item table); every one of the rows is written.
void readItemIconRows(const char* text, int32_t length, ItemIconRow rows[ITEM_ICON_ROW_MAX]);
