#include "field/resources.h"

#include <cstdio>

#include "engine/device.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/stage_index.h"
#include "engine/textures.h"
#include "field/collision_mesh.h"
#include "field/map_collision.h"
#include "shop/counter.h"
#include "shop/customer_types.h"

MeshRecord gStageMeshes[STAGE_MESH_COUNT];
TextureSlot gFieldTextures[FIELD_TEXTURE_COUNT];
TextureSlot gShopWallTextures[SHOP_WALL_COUNT];
TextureSlot gShopFloorTextures[SHOP_FLOOR_COUNT];
TextureSlot gRugTextures[SHOP_RUG_COUNT];
MeshRecord gShopTableModels[SHOP_TABLE_COUNT][2];
TextureSlot gMapTexture;
TextureSlot gLevelWindowTexture;
TextureSlot gMoodTexture;
TextureSlot gFloorBannerTexture;
TextureSlot gEnemyIconTextures[ENEMY_KIND_COUNT];

namespace {

constexpr int32_t FIELD_TEXTURE_GROUP = 3;
constexpr int32_t STAGE_TEXTURE_GROUP = 11;
constexpr int32_t SHOP_PICTURE_SIDE = 256;

const char* const SHOP_WALL_FILES[SHOP_WALL_COUNT] = {
    "kabe_sikkui.bmp", "kabe_ita.bmp",   "kabe_hosi.bmp",   "kabe_umi.bmp",   "kabe_moru.bmp",
    "kabe_renga.bmp",  "kabe_giseki.bmp", "kabe_8bit.bmp",  "kabe_jya.bmp",   "kabe_iseki.bmp",
    "kabe_mirel.bmp",  "kabe_namako.bmp", "kabe_chuka.bmp", "kabe_kouhaku.bmp", "kabe_check.bmp",
};
const char* const SHOP_FLOOR_FILES[SHOP_FLOOR_COUNT] = {
    "yuka_ita2.bmp",    "yuka_dairiseki.bmp", "yuka_ishi.bmp",    "yuka_renga.bmp", "yuka_isekiyuka.bmp",
    "yuka_tatami.bmp",  "yuka_akaju.bmp",     "yuka_rapyuta.bmp", "yuka_mori.bmp",  "yuka_tuchi.bmp",
    "yuka_kyousitu.bmp", "yuka_chaishi.bmp",  "yuka_mirel.bmp",   "yuka_check.bmp", "yuka_jya.bmp",
};
const char* const SHOP_RUG_FILES[SHOP_RUG_COUNT] = {
    "shop_jutan01.tga",     "shop_jutan03.bmp",     "capet_tora.bmp",      "shop_jutan_umi.bmp",
    "shop_jutan_check.bmp", "shop_jutan_hade.bmp", "shop_jutan_kawai.bmp", "shop_jutan_jya.bmp",
};
const char* const SHOP_TABLE_FILES[SHOP_TABLE_COUNT][2] = {
    {"shop_table01.x", "shop_table02.x"},         {"shop_danbo01.x", "shop_danbo02.x"},
    {"shop_desk01.x", "shop_desk02.x"},           {"shop_tarudesk01.x", "shop_tarudesk02.x"},
    {"shop_shokutaku01.x", "shop_shokutaku02.x"}, {"shop_kyoudan01.x", "shop_kyoudan02.x"},
    {"shop_jya01.x", "shop_jya02.x"},             {"shop_jwel01.x", "shop_jwel02.x"},
};

// all 0: the chosen entry only; 1: every entry but the chosen one.
bool wanted(int32_t all, int32_t i, int32_t chosen) { return all == 0 ? i == chosen : i != chosen; }

void loadShopPictures(int32_t all, int32_t chosen, const char* folder, const char* const* files, TextureSlot* slots,
                      int32_t count) {
    char path[256];
    for (int32_t i = 0; i < count; ++i) {
        if (!wanted(all, i, chosen)) continue;
        snprintf(path, sizeof path, "%s%s", folder, files[i]);
        loadTextureToGroup(FIELD_TEXTURE_GROUP, slots[i], path, SHOP_PICTURE_SIDE, SHOP_PICTURE_SIDE);
    }
}

// The water frames "%s%02d.bmp" of the stage's "waterfile:".
void loadWaterFrames(const StageRecord& stage) {
    if (!stage.waterfile[0]) return;
    int32_t count = stage.wateranimnum < FIELD_TEXTURE_COUNT ? stage.wateranimnum : FIELD_TEXTURE_COUNT;
    char path[512];
    for (int32_t i = 0; i < count; ++i) {
        snprintf(path, sizeof path, "%s%02d.bmp", stage.waterfile, (int)i);
        loadTextureToGroup(FIELD_TEXTURE_GROUP, gFieldTextures[i], path, stage.watersize, stage.watersize);
    }
}

}  // namespace

int32_t shopDecorationChoice(int32_t value, int32_t count) { return value >= 0 && value < count ? value : 0; }

void resetFieldResources() {
    for (MeshRecord& mesh : gStageMeshes) mesh = MeshRecord{};
    for (auto& pair : gShopTableModels)
        for (MeshRecord& mesh : pair) mesh = MeshRecord{};
    for (TextureSlot& slot : gFieldTextures) slot = TextureSlot{};
    for (TextureSlot& slot : gShopWallTextures) slot = TextureSlot{};
    for (TextureSlot& slot : gShopFloorTextures) slot = TextureSlot{};
    for (TextureSlot& slot : gRugTextures) slot = TextureSlot{};
    gMapTexture = gLevelWindowTexture = gMoodTexture = gFloorBannerTexture = TextureSlot{};
    for (TextureSlot& slot : gEnemyIconTextures) slot = TextureSlot{};
}

void releaseAllTextures() {
    for (int32_t group = 0; group < TEXTURE_GROUP_FULL_RELEASE; ++group) releaseTextureGroup(group);
    releaseRenderTargets();
}

// The stage's geometry, the chosen shop decoration and the water frames.
// The field's own pictures and models, the customers' sprite sheets and the
// enemies arrive with the rest of the field's loading.
void loadFieldResources() {
    followShopSize();
    clearMeshTextures();
    bindStageModels();
    loadFloorEnemies();
    if (!gCurrentStage) return;
    if (gCurrentStage->maptype == 0) {
        loadShopWalls(0);
        loadShopFloors(0);
        loadShopRugs(0);
        loadShopTables(0);
    }
    loadWaterFrames(*gCurrentStage);
}

void releaseStageModels() {
    releaseTextureGroup(STAGE_TEXTURE_GROUP);
    for (MeshRecord& mesh : gStageMeshes) releaseMesh(&mesh);
}

void bindStageModels() {
    if (gStageIndex < 0 || gStageIndex >= STAGE_CODE_COUNT) return;
    bindCurrentStage();
    const StageRecord& stage = *gCurrentStage;
    clearMapBlocks();
    for (int32_t i = 0; i < stage.mapCount && i < STAGE_MAP_MAX && i < STAGE_MESH_COUNT; ++i) {
        loadMesh(&gStageMeshes[i], stage.map[i], i);
        loadCollisionMesh(stage.map[i], i);
    }
    if (stage.hasMapbg) loadMesh(&gStageMeshes[STAGE_BACKGROUND_SLOT], stage.mapbg, -1);
}

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

void loadShopWalls(int32_t all) {
    loadShopPictures(all, shopDecorationChoice(runningGameState().shopWall, SHOP_WALL_COUNT), "xfile/wall/", SHOP_WALL_FILES, gShopWallTextures,
                     SHOP_WALL_COUNT);
}
void loadShopFloors(int32_t all) {
    loadShopPictures(all, shopDecorationChoice(runningGameState().shopFloor, SHOP_FLOOR_COUNT), "xfile/floor/", SHOP_FLOOR_FILES, gShopFloorTextures,
                     SHOP_FLOOR_COUNT);
}
void loadShopRugs(int32_t all) {
    loadShopPictures(all, shopDecorationChoice(runningGameState().shopRug, SHOP_RUG_COUNT), "xfile/jutan/", SHOP_RUG_FILES, gRugTextures, SHOP_RUG_COUNT);
}
void loadShopTables(int32_t all) {
    char path[256];
    int32_t chosen = shopDecorationChoice(runningGameState().shopTable, SHOP_TABLE_COUNT);
    for (int32_t i = 0; i < SHOP_TABLE_COUNT; ++i) {
        if (!wanted(all, i, chosen)) continue;
        for (int32_t k = 0; k < 2; ++k) {
            snprintf(path, sizeof path, "xfile/table/%s", SHOP_TABLE_FILES[i][k]);
            loadMesh(&gShopTableModels[i][k], path, -1);
        }
    }
}
