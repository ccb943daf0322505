#include "field/world_renderer.h"

#include <cstring>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/overlay_screen.h"
#include "engine/settings.h"
#include "engine/stage_index.h"
#include "field/effect_passes.h"
#include "field/field.h"
#include "field/field_camera.h"
#include "field/field_models.h"
#include "field/map_passes.h"
#include "field/resources.h"
#include "field/stage_light.h"

WorldDrawState gWorldDraw;
MeshStateCache gMeshStateCache;

const uint32_t COLOR_OP_BY_MODE[7] = {
    GFX_TOP_SELECTARG1, GFX_TOP_MODULATE, GFX_TOP_MODULATE2X, GFX_TOP_ADD,
    GFX_TOP_ADDSIGNED,  GFX_TOP_SUBTRACT, GFX_TOP_ADDSMOOTH,
};

namespace {

constexpr float DEGREES_TO_RADIANS = 0.017453292f;
constexpr uint32_t WORLD_VERTEX_FORMAT = GFX_FVF_XYZ | GFX_FVF_NORMAL | GFX_FVF_DIFFUSE | GFX_FVF_TEX1;
static_assert(WORLD_VERTEX_FORMAT == MESH_VERTEX_FORMAT);

uint32_t floatBits(float value) {
    uint32_t bits = 0;
    memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Fog per stage: on when the stage's fog starts anywhere but 0.0 and the
// settings allow fog.
void setStageFog(GfxDevice* device, const StageRecord& stage) {
    bool on = stage.fog[0] != 0.0f && gUseFog != 1;
    device->setRenderState(GFX_RS_FOGENABLE, on);
    if (!on) return;
    device->setRenderState(GFX_RS_FOGSTART, floatBits(stage.fog[0]));
    device->setRenderState(GFX_RS_FOGEND, floatBits(stage.fog[1]));
    device->setRenderState(GFX_RS_FOGVERTEXMODE, GFX_FOG_LINEAR);
    uint32_t color = 0xFF000000u + ((uint32_t)stage.fogcolor[0] & 0xFF) * 65536u +
                     ((uint32_t)stage.fogcolor[1] & 0xFF) * 256u + ((uint32_t)stage.fogcolor[2] & 0xFF);
    device->setRenderState(GFX_RS_FOGCOLOR, color);
}

// The states the background draws with: unlit, unfogged, modulated.
void setBackdropStates(GfxDevice* device) {
    device->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
    device->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
    if (gUseMipmap == 0) {
        device->setTextureStageState(0, GFX_TSS_MIPFILTER, GFX_FILTER_LINEAR);
        device->setTextureStageState(0, GFX_TSS_MIPMAPLODBIAS, floatBits(MIPMAP_LOD_BIAS));
    } else {
        device->setTextureStageState(0, GFX_TSS_MIPFILTER, GFX_FILTER_NONE);
    }
    device->setVertexFormat(WORLD_VERTEX_FORMAT);
    device->lightEnable(0, false);
    device->setRenderState(GFX_RS_LIGHTING, 0);
    device->setRenderState(GFX_RS_FOGENABLE, 0);
    device->setRenderState(GFX_RS_ZENABLE, 0);
    device->setRenderState(GFX_RS_ZWRITEENABLE, 0);
    device->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_MODULATE);
}

// The camera's projection with its depth row made equal to its w row: every
// point it maps lies on the far plane, so with the depth test on it passes
// only where nothing nearer was drawn and the depth buffer still holds its
// clear value. The background draws no depth of its own, so among its own
// triangles the last drawn still wins, as with the test off.
void pinDepthToFarPlane(GfxDevice* device) {
    Matrix4 pinned = gCamera.projection;
    for (int32_t row = 0; row < 4; ++row) pinned.m[row * 4 + 2] = pinned.m[row * 4 + 3];
    device->setTransform(GFX_TS_PROJECTION, pinned.m);
    device->setRenderState(GFX_RS_ZENABLE, 1);
    device->setRenderState(GFX_RS_ZFUNC, GFX_CMP_LESSEQUAL);
}

// Depth, the stage's fog and draw code, and the states the map draws with.
void setMapStates(GfxDevice* device, const StageRecord& stage) {
    device->setRenderState(GFX_RS_ZENABLE, 1);
    device->setRenderState(GFX_RS_ZWRITEENABLE, 1);
    setStageFog(device, stage);
    setColorOpByMode(stage.drawcode);
    setWorldFarPlane(WORLD_FAR_NEAR_FIELD);
    device->setTextureStageState(0, GFX_TSS_ADDRESSU, GFX_ADDRESS_WRAP);
    device->setTextureStageState(0, GFX_TSS_ADDRESSV, GFX_ADDRESS_WRAP);
    device->setRenderState(GFX_RS_AMBIENT, 0xFF000000);
    device->setRenderState(GFX_RS_COLORVERTEX, 1);
    device->setRenderState(GFX_RS_ALPHAFUNC, GFX_CMP_GREATER);
    device->setRenderState(GFX_RS_DIFFUSEMATERIALSOURCE, GFX_MCS_COLOR1);
    device->setRenderState(GFX_RS_AMBIENTMATERIALSOURCE, GFX_MCS_COLOR1);
    device->setTextureStageState(0, GFX_TSS_COLORARG2, GFX_TA_TEXTURE);
    device->setTextureStageState(0, GFX_TSS_COLORARG1, GFX_TA_DIFFUSE);
    device->setRenderState(GFX_RS_SHADEMODE, GFX_SHADE_GOURAUD);
}

// The stage's light on or off as the stage asks.
void setStageLighting(GfxDevice* device, const StageRecord& stage) {
    if (stage.maplight != 0) device->setLight(0, gStageLight);
    device->lightEnable(0, stage.maplight != 0);
    device->setRenderState(GFX_RS_LIGHTING, stage.maplight != 0);
}

// The last live record + 1 of each pool the effect passes walk, 0 when none.
void recomputeEffectCounts() {
    EffectCounts& c = gWorldDraw.effectCounts;
    c = EffectCounts{};
    for (int32_t i = 0; i < EFFECT_OBJECT_POOL_SIZE; ++i)
        if (gEffectObjects[i].kind != -1) c.effectObjects = i + 1;
    for (int32_t i = 0; i < ATTACK_OBJECT_POOL_SIZE; ++i)
        if (gAttackObjects[i].kind != 0) c.attackObjects = i + 1;
    for (int32_t i = 0; i < PICKUP_POOL_SIZE; ++i)
        if (gPickups[i].kind != -1) c.pickups = i + 1;
}

}  // namespace

// The camera keeps the projection last set: the overlay maps world points
// to the screen through it.
void setWorldFarPlane(float farPlane) {
    gCamera.projection = matrixPerspectiveFovRH(gCamera.fov * DEGREES_TO_RADIANS, WORLD_ASPECT, WORLD_NEAR, farPlane);
    if (gGfxDevice) gGfxDevice->setTransform(GFX_TS_PROJECTION, gCamera.projection.m);
}

void setColorOpByMode(int32_t mode) {
    if (!gGfxDevice) return;
    int32_t entry = mode % 7;   // the dividend's sign: a negative mode changes nothing
    if (entry < 0) return;
    gGfxDevice->setTextureStageState(0, GFX_TSS_COLOROP, COLOR_OP_BY_MODE[entry]);
}

void resetMeshStateCache() {
    gMeshStateCache = MeshStateCache{};
    if (!gGfxDevice) return;
    gGfxDevice->setRenderState(GFX_RS_CULLMODE, GFX_CULL_CCW);
    gGfxDevice->setTextureStageState(0, GFX_TSS_MIPFILTER, GFX_FILTER_LINEAR);
    gGfxDevice->setTextureStageState(0, GFX_TSS_ADDRESSU, GFX_ADDRESS_WRAP);
    gGfxDevice->setTextureStageState(0, GFX_TSS_ADDRESSV, GFX_ADDRESS_WRAP);
}

void applyTextureStates(int32_t textureIndex) {
    if (!gGfxDevice || textureIndex < 0 || textureIndex >= gMeshTextures.count) return;
    const MeshTextureEntry& entry = gMeshTextures.entries[textureIndex];
    MeshStateCache& cache = gMeshStateCache;
    int32_t cull = entry.twoSided ? MESH_CULL_NONE : MESH_CULL_CCW;
    if (cull != cache.cull) {
        gGfxDevice->setRenderState(GFX_RS_CULLMODE, cull == MESH_CULL_NONE ? GFX_CULL_NONE : GFX_CULL_CCW);
        cache.cull = cull;
    }
    int32_t mip = entry.noMip || gUseMipmap == 1 ? MESH_MIP_NONE : MESH_MIP_LINEAR;
    if (mip != cache.mip) {
        gGfxDevice->setTextureStageState(0, GFX_TSS_MIPFILTER, mip == MESH_MIP_NONE ? GFX_FILTER_NONE : GFX_FILTER_LINEAR);
        cache.mip = mip;
    }
    // Classes 0 to 2 are wrap, mirror, clamp; any other is border.
    int32_t u = entry.addressU <= GFX_ADDRESS_CLAMP ? entry.addressU : (int32_t)GFX_ADDRESS_BORDER;
    int32_t v = entry.addressV <= GFX_ADDRESS_CLAMP ? entry.addressV : (int32_t)GFX_ADDRESS_BORDER;
    if (u != cache.addressU) {
        gGfxDevice->setTextureStageState(0, GFX_TSS_ADDRESSU, (uint32_t)u);
        cache.addressU = u;
    }
    if (v != cache.addressV) {
        gGfxDevice->setTextureStageState(0, GFX_TSS_ADDRESSV, (uint32_t)v);
        cache.addressV = v;
    }
}

void drawMeshObject(const MeshRecord* mesh) {
    if (!gGfxDevice) return;
    resetMeshStateCache();
    if (mesh && mesh->vertices) {
        for (int32_t t = 0; t < gMeshTextures.count; ++t) {
            applyTextureStates(t);
            bool bound = false;
            for (int32_t j = 0; j < mesh->materialCount; ++j) {
                if (mesh->textureIndices[j] != t) continue;
                if (!bound) {
                    gGfxDevice->setTexture(0, gMeshTextures.entries[t].texture);
                    bound = true;
                }
                gGfxDevice->setMaterial(mesh->materials[j]);
                drawMeshSubset(*mesh, j);
            }
        }
    }
    gGfxDevice->setTextureStageState(0, GFX_TSS_ADDRESSU, GFX_ADDRESS_WRAP);
    gGfxDevice->setTextureStageState(0, GFX_TSS_ADDRESSV, GFX_ADDRESS_WRAP);
}

void drawMapOpaque() {
    if (gCurrentStage) setColorOpByMode(gCurrentStage->drawcode);
    drawMapGeometry(0);
}

void drawMapAlphaLayer() {
    if (gCurrentStage) setColorOpByMode(gCurrentStage->drawcode);
    drawMapGeometry(1);
    if (!gGfxDevice) return;
    gGfxDevice->setTextureStageState(0, GFX_TSS_ADDRESSU, GFX_ADDRESS_WRAP);
    gGfxDevice->setTextureStageState(0, GFX_TSS_ADDRESSV, GFX_ADDRESS_WRAP);
    gGfxDevice->setRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
}

void sortKeysWithValues(int32_t* keys, int32_t* values, int32_t count) {
    for (int32_t pass = 0; pass < count - 1; ++pass)
        for (int32_t j = count - 1; j > pass; --j)
            if (keys[j - 1] > keys[j]) {
                int32_t key = keys[j - 1];
                keys[j - 1] = keys[j];
                keys[j] = key;
                int32_t value = values[j - 1];
                values[j - 1] = values[j];
                values[j] = value;
            }
}

void drawWorld3D() {
    if (!gGfxDevice || !gCurrentStage) return;
    if (gOverlayScreen.renderCounter == 0 && !gFieldCamera.cameraFrozen) updateFieldCamera();
    updateViewOrientation();
    gGfxDevice->setTransform(GFX_TS_VIEW, gCamera.view.m);
    setWorldFarPlane(WORLD_FAR_NEAR_FIELD);
    drawWorldScene(gGfxDevice);
}

void drawWorldScene(GfxDevice* device) {
    const StageRecord& stage = *gCurrentStage;
    // 1-2: the marks, and the states every pass starts from.
    recomputeEffectCounts();
    device->setRenderState(GFX_RS_CULLMODE, GFX_CULL_CCW);
    setBackdropStates(device);

    // 5-8: depth, the stage's fog and draw code, the map's states.
    setMapStates(device, stage);

    // 9-11: the stage light and the opaque map.
    updateStageLight();
    ++gWorldDraw.mapFrameCounter;
    drawMapOpaque();

    // 3-4: the background model behind everything, x mirrored, and the sun's
    // glare. Drawn after the opaque map, only where the map left the depth
    // buffer clear: the same picture without shading the part the room hides.
    setBackdropStates(device);
    setWorldFarPlane(WORLD_FAR_WIDE);
    pinDepthToFarPlane(device);
    if (stage.hasMapbg && gStageMeshes[STAGE_BACKGROUND_SLOT].vertices) {
        Matrix4 world = matrixScaling(-2.8f, 2.8f, 2.8f);
        device->setTransform(GFX_TS_WORLD, world.m);
        drawMeshObject(&gStageMeshes[STAGE_BACKGROUND_SLOT]);
    }
    drawSunGlare();
    setMapStates(device, stage);
    setStageLighting(device, stage);

    // 12-14: floor objects and shadows.
    drawFloorObjects(0);
    drawShadows();
    setStageFog(device, stage);   // the shadows switch fog off
    drawFloorObjects(1);

    // 15-16: models and 3D effects at the wide far plane, then the stage's lighting.
    setWorldFarPlane(WORLD_FAR_WIDE);
    drawFieldModels();
    drawEffectObjects3D();
    setStageLighting(device, stage);

    // 17-19: the translucent passes test depth without writing it.
    setWorldFarPlane(WORLD_FAR_NEAR_FIELD);
    setStageFog(device, stage);
    device->setRenderState(GFX_RS_ZENABLE, 1);
    device->setRenderState(GFX_RS_ZWRITEENABLE, 0);
    drawMapAlphaLayer();
    device->setTextureStageState(0, GFX_TSS_MIPFILTER, GFX_FILTER_NONE);
    drawSpriteEnemies();
    drawMapLayers();

    // 20-22: the party and the world effects wide, the lens flare near.
    setWorldFarPlane(WORLD_FAR_WIDE);
    device->setTextureStageState(0, GFX_TSS_MIPFILTER, GFX_FILTER_NONE);
    drawPlayerCharacters();
    drawWorldEffects();
    setWorldFarPlane(WORLD_FAR_NEAR_FIELD);
    drawLensFlare();
}

void clearSkillCountdown() { gWorldDraw.skillCountdown = 0; }

void resetWorldRenderer() {
    gWorldDraw.skillCountdown = 0;
    gWorldDraw.effectCounts = EffectCounts{};
    gWorldDraw.mapFrameCounter = 0;
    gMeshStateCache = MeshStateCache{};
}
