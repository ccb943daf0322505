#include "shop/item_icons.h"

#include <cstdio>

#include "engine/scene_pictures.h"
#include "engine/textures.h"

TextureSlot gItemIconTextures[ITEM_CATEGORY_COUNT];

int32_t planItemIconSheets(const ItemDefinition* rows, int32_t rowCount, ItemIconSheet out[ITEM_CATEGORY_COUNT]) {
    int32_t valid[ITEM_CATEGORY_COUNT] = {};
    for (int32_t i = 0; i < rowCount; ++i)
        if (rows[i].valid && rows[i].category >= 0 && rows[i].category < ITEM_CATEGORY_COUNT) ++valid[rows[i].category];
    int32_t count = 0;
    int32_t highest = -1;
    for (int32_t i = 0; i < rowCount; ++i) {
        int32_t category = rows[i].category;
        if (category <= highest || category >= ITEM_CATEGORY_COUNT) continue;
        int32_t iconRows = (valid[category] + 7) / 8;
        out[count++] = ItemIconSheet{category, iconRows > 2 ? 32 * iconRows : 64};
        highest = category;
    }
    return count;
}

// One batch, so the sheets decode side by side; boxes and slots keep the
// sheets' order.
void loadItemIconSheets() {
    ItemIconSheet sheets[ITEM_CATEGORY_COUNT];
    int32_t count = planItemIconSheets(gItemDefinitions, ITEM_DEFINITION_MAX, sheets);
    static char paths[ITEM_CATEGORY_COUNT][64];
    TexturePictureRequest requests[ITEM_CATEGORY_COUNT];
    for (int32_t i = 0; i < count; ++i) {
        snprintf(paths[i], sizeof paths[i], "bmp/item/item%02d.bmp", sheets[i].category);
        requests[i] = TexturePictureRequest{paths[i], 256, sheets[i].height, &gItemIconTextures[sheets[i].category]};
    }
    loadTexturesToGroup(TEXTURE_GROUP_SYSTEM, requests, count);
}

