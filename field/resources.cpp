#include "field/resources.h"

#include "engine/device.h"
#include "engine/textures.h"

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
void loadCustomerPortraitsA() {}
void loadCustomerPortraitsB() {}
void loadShopWalls() {}
void loadShopFloors() {}
void loadShopRugs() {}
void loadShopTables() {}
