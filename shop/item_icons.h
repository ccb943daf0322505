// shop/item_icons.h: the item icon sheets of the system pictures, planned
// from the item table. Loaded with the system pictures at start-up and after
// a device reset.
#pragma once
#include <cstdint>

#include "engine/textures.h"
#include "shop/item_db.h"

// Item icon sheets "bmp/item/item%02d.bmp", one per item category (item id
// / 100), 256 texels wide: eight 32 x 32 icons a row, at least two rows.
extern TextureSlot gItemIconTextures[ITEM_CATEGORY_COUNT];
struct ItemIconSheet {
    int32_t category;
    int32_t height;   // texels
};
// The sheets the system set loads for a table of item definitions: walking
// the rows in table order, each row whose category is above every category
// planned so far plans that category's sheet, high enough for its count of
// valid rows. Returns how many were written to out.
int32_t planItemIconSheets(const ItemDefinition* rows, int32_t rowCount, ItemIconSheet out[ITEM_CATEGORY_COUNT]);
// Loads the planned sheets into the system group; every row of the table
// counts, the empty ones too.
void loadItemIconSheets();
