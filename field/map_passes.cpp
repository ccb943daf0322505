#include "field/map_passes.h"

#include <cmath>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/config_index.h"
#include "engine/device.h"
#include "engine/frame_loop.h"
#include "engine/math.h"
#include "engine/save_file.h"
#include "engine/settings.h"
#include "engine/stage_index.h"
#include "field/field_camera.h"
#include "field/map_collision.h"
#include "field/resources.h"
#include "field/stage_light.h"
#include "field/world_renderer.h"

const int32_t RUG_MODEL_BY_RUG[8] = {1, 1, 2, 1, 1, 1, 1, 1};
const int32_t SHOP_TABLE_TYPES[10] = {3, 4, 4, 4, 3, 4, 3, 3, 3, 3};

namespace {

constexpr float MAP_SCALE = 0.2f;
constexpr float QUARTER_TURN = 1.5707964f;
constexpr float HALF_TURN = 3.1415927f;

// Binds texture t for a pass; the water frame only once per pass.
void bindMapTexture(int32_t t, bool shop, bool* waterBound) {
    const MeshTextureEntry& entry = gMeshTextures.entries[t];
    const StageRecord& stage = *gCurrentStage;
    GfxTexture* texture = entry.texture;
    int32_t pass = mapPassOfTexture(entry, shop, false);
    if (pass == 2 || pass == 3) {
        if (*waterBound) return;
        *waterBound = true;
        int32_t frame = waterFrame(gWorldDraw.mapFrameCounter, stage.wateranimspeed, stage.wateranimnum);
        texture = frame < FIELD_TEXTURE_COUNT ? gFieldTextures[frame].texture : nullptr;
    } else if (shop && entry.kabe) {
        texture = gShopWallTextures[shopDecorationChoice(runningGameState().shopWall, SHOP_WALL_COUNT)].texture;
    } else if (shop && entry.yuka) {
        texture = gShopFloorTextures[shopDecorationChoice(runningGameState().shopFloor, SHOP_FLOOR_COUNT)].texture;
    } else if (shop && entry.shopJutan) {
        texture = gRugTextures[shopDecorationChoice(runningGameState().shopRug, SHOP_RUG_COUNT)].texture;
    }
    gGfxDevice->setTexture(0, texture);
}

bool hasSubsetOf(const MeshRecord& mesh, int32_t t) {
    if (!mesh.vertices) return false;
    for (int32_t j = 0; j < mesh.materialCount; ++j)
        if (mesh.textureIndices[j] == t) return true;
    return false;
}

// The subsets of texture t under a world matrix; flash: each drawn additive,
// the stage's draw code restored after it.
void drawModelSubsets(const MeshRecord& mesh, int32_t t, const Matrix4& world, bool flash) {
    if (!hasSubsetOf(mesh, t)) return;
    gGfxDevice->setTransform(GFX_TS_WORLD, world.m);
    for (int32_t j = 0; j < mesh.materialCount; ++j) {
        if (mesh.textureIndices[j] != t) continue;
        gGfxDevice->setMaterial(mesh.materials[j]);
        if (flash) setColorOpByMode(3);
        drawMeshSubset(mesh, j);
        if (flash) setColorOpByMode(gCurrentStage->drawcode);
    }
}

const MeshRecord* stageMesh(int32_t model) {
    return model >= 0 && model < STAGE_MESH_COUNT ? &gStageMeshes[model] : nullptr;
}

void lightsOff() {
    gGfxDevice->lightEnable(0, false);
    gGfxDevice->setRenderState(GFX_RS_LIGHTING, 0);
}

void finishPass() {
    setColorOpByMode(gCurrentStage->drawcode);
    gGfxDevice->setTextureStageState(0, GFX_TSS_ADDRESSU, GFX_ADDRESS_WRAP);
    gGfxDevice->setTextureStageState(0, GFX_TSS_ADDRESSV, GFX_ADDRESS_WRAP);
}

void drawDungeonPass(int32_t pass) {
    if (gNoLight[0] == 1) lightsOff();
    // Every pass counts the flashes down, so they fall by up to 4 a frame.
    BreakableObjects& objects = gBreakableObjects;
    int32_t objectCount = objects.count < BREAKABLE_OBJECT_MAX ? objects.count : BREAKABLE_OBJECT_MAX;
    for (int32_t i = 0; i < objectCount; ++i)
        if (objects.flashTimer[i] > 0) --objects.flashTimer[i];

    int32_t rows = gFloorGrid.roomsY < MAP_GRID_SIZE ? gFloorGrid.roomsY : MAP_GRID_SIZE;
    int32_t columns = gFloorGrid.roomsX < MAP_GRID_SIZE ? gFloorGrid.roomsX : MAP_GRID_SIZE;
    float reach = gFieldCamera.cameraMode == CAMERA_FOLLOW ? 60.0f : 120.0f;
    bool lightTexturesOff = gUseLightTex == 1;
    bool waterBound = false;
    resetMeshStateCache();
    for (int32_t t = 0; t < gMeshTextures.count; ++t) {
        if (mapPassOfTexture(gMeshTextures.entries[t], false, lightTexturesOff) != pass) continue;
        bindMapTexture(t, false, &waterBound);
        applyTextureStates(t);
        for (int32_t r = 0; r < rows; ++r)
            for (int32_t c = 0; c < columns; ++c) {
                if (gFloorGrid.singleBlockFloor) {
                    if (r != 1 || c != 1) continue;
                } else if (mapCellDistance(gCamera.eye.x, gCamera.eye.z, r, c) > reach) {
                    continue;
                }
                const MapCell& cell = gFloorGrid.mapGrid[r][c];
                const MeshRecord* mesh = stageMesh(cell.blockId < 0 ? MAP_EMPTY_CELL_MODEL : cell.blockId);
                if (!mesh) continue;
                Matrix4 world = matrixScaling(-MAP_SCALE, MAP_SCALE, MAP_SCALE);
                if (cell.blockId >= 0)
                    world = matrixMultiply(world, matrixRotationY(-(float)cell.rotation * QUARTER_TURN));
                world = matrixMultiply(world, matrixTranslation(-40.0f * (float)c, 0.0f, -40.0f * (float)r));
                drawModelSubsets(*mesh, t, world, false);
            }
        for (int32_t i = 0; i < objectCount; ++i) {
            if (!objects.alive[i]) continue;
            const MeshRecord* mesh = stageMesh(objects.blockId[i]);
            if (!mesh) continue;
            float s = objects.scale[i];
            Matrix4 world = matrixMultiply(matrixRotationY(objects.yaw[i]),
                                           matrixScaling(-MAP_SCALE * s, MAP_SCALE * s, MAP_SCALE * s));
            world = matrixMultiply(world, matrixTranslation(objects.position[i][0], objects.position[i][1],
                                                            objects.position[i][2]));
            drawModelSubsets(*mesh, t, world, objects.flashTimer[i] > 0);
        }
    }
    finishPass();
}

Matrix4 groupBMatrix(int32_t i, int32_t type, int32_t vendingKey) {
    int32_t slot = PLACED_GROUP_B_FIRST + i;
    const float* at = gPlacedBlocks.position[slot];
    float yaw = gPlacedBlocks.yaw[slot];
    Matrix4 world = matrixScaling(-MAP_SCALE, MAP_SCALE, MAP_SCALE);
    for (int32_t k = vendingTurnArounds(type, vendingKey, yaw, at[0]); k > 0; --k) {
        world = matrixMultiply(world, matrixRotationY(HALF_TURN));
        world = matrixMultiply(world, matrixTranslation(0.0f, 0.0f, 2.0f));
    }
    world = matrixMultiply(world, matrixRotationY(yaw));
    return matrixMultiply(world, matrixTranslation(at[0], at[1], at[2]));
}

void drawShopPass(int32_t pass) {
    const StageRecord& stage = *gCurrentStage;
    const GameState& game = runningGameState();
    if (gNoLight[1] == 1) lightsOff();
    int32_t countA = gPlacedBlocks.countA < PLACED_GROUP_A_MAX ? gPlacedBlocks.countA : PLACED_GROUP_A_MAX;
    int32_t countB = gPlacedBlocks.countB < PLACED_GROUP_B_MAX ? gPlacedBlocks.countB : PLACED_GROUP_B_MAX;
    int32_t rug = shopDecorationChoice(game.shopRug, SHOP_RUG_COUNT);
    int32_t table = shopDecorationChoice(game.shopTable, SHOP_TABLE_COUNT);
    bool lightTexturesOff = gUseLightTex == 1;
    bool waterBound = false;
    resetMeshStateCache();
    for (int32_t t = 0; t < gMeshTextures.count; ++t) {
        if (mapPassOfTexture(gMeshTextures.entries[t], true, lightTexturesOff) != pass) continue;
        bindMapTexture(t, true, &waterBound);
        applyTextureStates(t);
        // The collision queries read the same model numbers.
        for (int32_t i = 1; i < PLACED_GROUP_A_MAX; ++i) gPlacedBlocks.blockId[i] = RUG_MODEL_BY_RUG[rug];
        for (int32_t i = 0; i < PLACED_GROUP_B_MAX; ++i) gPlacedBlocks.blockId[PLACED_GROUP_B_FIRST + i] = SHOP_TABLE_TYPES[i];
        for (int32_t i = 0; i < countA; ++i) {
            if (stage.mapviewarea > 0) {
                const MapBlock& block = gMapBlocks[i];
                float centerX = -(block.minX + (block.maxX - block.minX) / 2.0f);
                float centerZ = block.minZ + (block.maxZ - block.minZ) / 2.0f;
                float area = (float)stage.mapviewarea;
                if (fabsf(gCamera.eye.x - centerX) > area || fabsf(gCamera.eye.z - centerZ) > area) continue;
            }
            const MeshRecord* mesh = stageMesh(gPlacedBlocks.blockId[i]);
            if (!mesh) continue;
            Matrix4 world = matrixMultiply(matrixScaling(-MAP_SCALE, MAP_SCALE, MAP_SCALE),
                                           matrixRotationY(gPlacedBlocks.yaw[i]));
            world = matrixMultiply(world, matrixTranslation(gPlacedBlocks.position[i][0], gPlacedBlocks.position[i][1],
                                                            gPlacedBlocks.position[i][2]));
            drawModelSubsets(*mesh, t, world, false);
        }
        if (gEffectEditorOn) continue;
        for (int32_t i = 0; i < countB; ++i) {
            int32_t type = SHOP_TABLE_TYPES[i];
            int32_t vending = game.vendingModes[i];
            const MeshRecord* mesh = vending == 0 ? &gShopTableModels[table][type - 3] : stageMesh(vendingModel(type, vending));
            if (!mesh || !hasSubsetOf(*mesh, t)) continue;
            gGfxDevice->setTransform(GFX_TS_WORLD, groupBMatrix(i, type, vending).m);
            bool pulse = gShopFloor.shopFloorState == SHOP_FLOOR_EDITING && i == gShopFloor.selectedShelf;
            for (int32_t j = 0; j < mesh->materialCount; ++j) {
                if (mesh->textureIndices[j] != t) continue;
                gGfxDevice->setMaterial(mesh->materials[j]);
                if (pulse) {
                    uint32_t g = (uint32_t)shelfPulseGrey(gTickCounter);
                    gGfxDevice->setRenderState(GFX_RS_TEXTUREFACTOR, 0xFF000000u | g << 16 | g << 8 | g);
                    gGfxDevice->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_ADDSIGNED);
                    gGfxDevice->setTextureStageState(0, GFX_TSS_COLORARG1, GFX_TA_TFACTOR);
                    gGfxDevice->setTextureStageState(0, GFX_TSS_COLORARG2, GFX_TA_TEXTURE);
                }
                drawMeshSubset(*mesh, j);
                if (pulse) {
                    setColorOpByMode(stage.drawcode);
                    gGfxDevice->setTextureStageState(0, GFX_TSS_COLORARG1, GFX_TA_DIFFUSE);
                    gGfxDevice->setTextureStageState(0, GFX_TSS_COLORARG2, GFX_TA_TEXTURE);
                }
            }
        }
    }
    finishPass();
}

}  // namespace

int32_t mapPassOfTexture(const MeshTextureEntry& entry, bool shop, bool lightTexturesOff) {
    if (entry.water) return 2;
    if (shop && (entry.kabe || entry.yuka || entry.shopJutan)) return 0;
    if (entry.alpha) return 1;
    if (entry.hikari) return lightTexturesOff ? -1 : 3;
    return 0;
}

int32_t waterFrame(int32_t mapFrameCounter, int32_t speed, int32_t count) {
    if (speed < 1) speed = 1;
    if (count < 1) count = 1;
    return mapFrameCounter / speed % count;
}

float mapCellDistance(float eyeX, float eyeZ, int32_t row, int32_t column) {
    float dx = -40.0f * (float)column - eyeX;
    float dz = (-40.0f * (float)row - eyeZ) * 0.5f;
    return sqrtf(dx * dx + dz * dz);
}

int32_t shelfPulseGrey(int32_t tick) { return (int32_t)(sin((double)tick * 0.2) * 16.0 + 143.0); }

int32_t vendingModel(int32_t type, int32_t vendingKey) {
    int32_t definition = vendingKey >> 6;
    int64_t model = (int64_t)type + 2 * ((int64_t)definition - VENDING_FIRST_DEFINITION);
    return model >= 0 && model < STAGE_MESH_COUNT ? (int32_t)model : -1;
}

int32_t vendingTurnArounds(int32_t type, int32_t vendingKey, float yaw, float x) {
    if (type != 4 || (vendingKey & ~63) != VENDING_TURNED_DEFINITION * 64) return 0;
    if (yaw == 0.0f) return 1;
    if (yaw == QUARTER_TURN) return x > 5.0f ? 2 : 1;
    return x > 5.0f ? 1 : 0;
}

void drawMapGeometry(int32_t pass) {
    if (!gGfxDevice || !gCurrentStage) return;
    if (gCurrentStage->maptype >= 1)
        drawDungeonPass(pass);
    else
        drawShopPass(pass);
}

void drawMapLayers() {
    if (!gGfxDevice || !gCurrentStage) return;
    GfxDevice* device = gGfxDevice;
    const StageRecord& stage = *gCurrentStage;
    device->setRenderState(GFX_RS_ZENABLE, 1);
    device->setRenderState(GFX_RS_ZWRITEENABLE, 0);
    device->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
    device->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
    device->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_MODULATE);
    device->setTextureStageState(0, GFX_TSS_COLORARG2, GFX_TA_TEXTURE);
    device->setTextureStageState(0, GFX_TSS_COLORARG1, GFX_TA_DIFFUSE);
    device->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
    device->setTextureStageState(0, GFX_TSS_ALPHAARG1, GFX_TA_TEXTURE);
    device->setTextureStageState(0, GFX_TSS_ALPHAARG2, GFX_TA_TFACTOR);
    device->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
    device->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
    device->setRenderState(GFX_RS_FOGENABLE, 0);

    // Water: white with the stage's water alpha.
    device->setRenderState(GFX_RS_SRCBLEND, stage.wateradd ? GFX_BLEND_ONE : GFX_BLEND_SRCALPHA);
    device->setRenderState(GFX_RS_DESTBLEND, stage.wateradd ? GFX_BLEND_ONE : GFX_BLEND_INVSRCALPHA);
    setColorOpByMode(stage.waterdrawcode);
    device->setRenderState(GFX_RS_TEXTUREFACTOR, ((uint32_t)stage.wateralpha << 24) + 0xFFFFFFu);
    drawMapGeometry(2);

    // Light layer: fades with a boss's entrance.
    device->setRenderState(GFX_RS_SRCBLEND, stage.hikariadd ? GFX_BLEND_ONE : GFX_BLEND_SRCALPHA);
    device->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_ONE);
    setColorOpByMode(stage.hikaridrawcode);
    uint32_t alpha = (uint32_t)(int64_t)((float)stage.hikarialpha * gRun.bossCutFade);
    device->setRenderState(GFX_RS_TEXTUREFACTOR, (alpha << 24) | 0xFFFFFFu);
    device->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
    device->setTextureStageState(0, GFX_TSS_ALPHAARG1, GFX_TA_TEXTURE);
    device->setTextureStageState(0, GFX_TSS_ALPHAARG2, GFX_TA_TFACTOR);
    drawMapGeometry(3);
    setColorOpByMode(stage.drawcode);

    drawFloorObjects(2);
    drawFloorObjects(3);

    device->setRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
    device->setRenderState(GFX_RS_TEXTUREFACTOR, 0xFFFFFFFF);
    device->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_SELECTARG1);
    device->setTextureStageState(0, GFX_TSS_ALPHAARG1, GFX_TA_TEXTURE);
    device->setTextureStageState(0, GFX_TSS_ALPHAARG2, GFX_TA_CURRENT);
}
