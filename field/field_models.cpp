#include "field/field_models.h"

#include "engine/device.h"

// The field's models, enemies and characters arrive with their drawing.
// The model pass is where the scene turns alpha blending and the alpha test
// on for the rest of the world, so that much is here already.
void drawFieldModels() {
    if (!gD3DDevice) return;
    gD3DDevice->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    gD3DDevice->setRenderState(GFX_RS_ALPHATESTENABLE, 1);
    gD3DDevice->setRenderState(GFX_RS_ALPHAREF, 0);
}
void drawSpriteEnemies() {}
void drawPlayerCharacters() {}
