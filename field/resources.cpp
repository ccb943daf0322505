#include "field/resources.h"

#include <cstdio>

#include "engine/device.h"
#include "engine/scene_pictures.h"
#include "engine/textures.h"
#include "shop/counter.h"
#include "shop/customer_types.h"

void releaseAllTextures() {
    for (int32_t group = 0; group < TEXTURE_GROUP_FULL_RELEASE; ++group) releaseTextureGroup(group);
    releaseRenderTargets();
}

// The field's own pictures and models, its stage and enemy models, the
// customers' pictures and the shop's parts arrive with the field's scene.
void loadFieldResources() {}
void releaseStageModels() {}
void bindStageModels() {}
void releaseEnemyModels() {}
void loadFloorEnemies() {}
// Each named picture of the type as "bmp/<name>", 512 x 512, into the
// type's ten slots.
static void loadCustomerPictures(int32_t group, int32_t typeIndex) {
    if (typeIndex < 0 || typeIndex >= CUSTOMER_TYPE_COUNT) return;
    const CustomerType& type = gCustomerTypes[typeIndex];
    if (type.pictureCount <= 0) return;
    for (int32_t i = 0; i < CUSTOMER_PICTURE_SLOTS; i++) {
        const char* name = type.pictureFiles[i];
        if (name[0] == 0) continue;
        char path[CUSTOMER_FILE_NAME_SIZE + 8];
        snprintf(path, sizeof path, "bmp/%.*s", CUSTOMER_FILE_NAME_SIZE, name);
        loadTextureToGroup(group, gCustomerPictures[typeIndex * CUSTOMER_PICTURE_SLOTS + i], path, 512, 512);
    }
}

// On the loader thread: the shopkeeper's pictures, the name plates and the
// shop-mode sheet when a phase opens.
void loadCustomerPortraitsA() {
    loadCustomerPictures(TEXTURE_GROUP_SHOPKEEPER, 0);
    loadTextureToGroup(TEXTURE_GROUP_SHOPKEEPER, gNamePlateTexture, "bmp/ivent/chrname.tga", 512, 512);
    loadTextureToGroup(TEXTURE_GROUP_SHOPKEEPER, gShopModeTexture, "bmp/shopmode.tga", 1024, 512);
}

// On the loader thread: the visitor's pictures. The counter fixed the
// visitor before the loader started and waits while it runs.
void loadCustomerPortraitsB() { loadCustomerPictures(TEXTURE_GROUP_VISITOR, gCounter.visitorType); }
void loadShopWalls() {}
void loadShopFloors() {}
void loadShopRugs() {}
void loadShopTables() {}
