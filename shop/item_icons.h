// shop/item_icons.h: the item icon sheets of the system pictures, planned
// from the item table (shop/item_icon_cells.h). Loaded with the system
// pictures at start-up and after a device reset.
#pragma once
#include "engine/textures.h"
#include "shop/item_icon_cells.h"
#include "shop/shop.h"

extern TextureSlot gItemIconTextures[ITEM_CATEGORY_COUNT];
