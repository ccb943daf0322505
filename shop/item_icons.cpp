#include "shop/item_icons.h"

#include <cstdio>

#include "engine/scene_pictures.h"
#include "engine/textures.h"

static_assert(ITEM_ICON_CATEGORY_COUNT == ITEM_CATEGORY_COUNT && ITEM_ICON_ROW_MAX == ITEM_DEFINITION_MAX,
              "the icon layout covers the whole item table");

TextureSlot gItemIconTextures[ITEM_CATEGORY_COUNT];

const TextureSlot& itemIconSheet(int32_t category) {
    return gItemIconTextures[category >= 0 && category < ITEM_CATEGORY_COUNT ? category : 0];
}

int32_t planItemIconSheets(const ItemIconRow* rows, int32_t rowCount, ItemIconSheet out[ITEM_ICON_CATEGORY_COUNT]) {
    int32_t valid[ITEM_ICON_CATEGORY_COUNT] = {};
    for (int32_t i = 0; i < rowCount; ++i)
        if (rows[i].valid && rows[i].category >= 0 && rows[i].category < ITEM_ICON_CATEGORY_COUNT) ++valid[rows[i].category];
    int32_t count = 0;
    int32_t highest = -1;
    for (int32_t i = 0; i < rowCount; ++i) {
        int32_t category = rows[i].category;
        if (category <= highest || category >= ITEM_ICON_CATEGORY_COUNT) continue;
        int32_t iconRows = (valid[category] + 7) / 8;
        out[count++] = ItemIconSheet{category, iconRows > 2 ? 32 * iconRows : 64};
        highest = category;
    }
    return count;
}

void loadedItemIconRows(ItemIconRow rows[ITEM_ICON_ROW_MAX]) {
    for (int32_t i = 0; i < ITEM_DEFINITION_MAX; ++i) {
        const ItemDefinition& d = gItemDefinitions[i];
        rows[i] = ItemIconRow{d.valid, d.category, d.iconCell};
    }
}

void readItemIconRows(const char* text, int32_t length, ItemIconRow rows[ITEM_ICON_ROW_MAX]) {
    parseItemTable(text, length);
    loadedItemIconRows(rows);
}

// One batch, so the sheets decode side by side; boxes and slots keep the
// sheets' order.
void loadItemIconSheets() {
    static ItemIconRow rows[ITEM_ICON_ROW_MAX];
    loadedItemIconRows(rows);
    ItemIconSheet sheets[ITEM_ICON_CATEGORY_COUNT];
    int32_t count = planItemIconSheets(rows, ITEM_ICON_ROW_MAX, sheets);
    static char paths[ITEM_CATEGORY_COUNT][64];
    TexturePictureRequest requests[ITEM_CATEGORY_COUNT];
    for (int32_t i = 0; i < count; ++i) {
        snprintf(paths[i], sizeof paths[i], "bmp/item/item%02d.bmp", sheets[i].category);
        requests[i] = TexturePictureRequest{paths[i], 256, sheets[i].height, &gItemIconTextures[sheets[i].category]};
    }
    loadTexturesToGroup(TEXTURE_GROUP_SYSTEM, requests, count);
}

