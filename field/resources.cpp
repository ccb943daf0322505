#include "field/resources.h"

#include "engine/shell.h"
#include "engine/textures.h"

void releaseAllTextures() {
    for (int32_t group = 0; group < TEXTURE_GROUP_FULL_RELEASE; ++group) releaseTextureGroup(group);
    releaseRenderTargets();
}

// The field's own pictures and models arrive with its scene.
void loadFieldResources() {}
