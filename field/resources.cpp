#include "field/resources.h"

#include <cstdio>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/motion_files.h"
#include "engine/save_file.h"
#include "engine/skin_models.h"
#include "engine/scene_pictures.h"
#include "engine/stage_index.h"
#include "engine/textures.h"
#include "field/collision_mesh.h"
#include "field/map_collision.h"
#include "shop/shop.h"

MeshRecord gStageMeshes[STAGE_MESH_COUNT];
TextureSlot gFieldTextures[FIELD_TEXTURE_COUNT];
TextureSlot gShopWallTextures[SHOP_WALL_COUNT];
TextureSlot gShopFloorTextures[SHOP_FLOOR_COUNT];
TextureSlot gRugTextures[SHOP_RUG_COUNT];
MeshRecord gShopTableModels[SHOP_TABLE_COUNT][2];
TextureSlot gMapTexture;
TextureSlot gMagicCircleTexture;
TextureSlot gDungeonClearTexture;
TextureSlot gLevelWindowTexture;
TextureSlot gMoodTexture;
TextureSlot gFlareSlot;
MeshRecord gFieldMeshes[FIELD_MESH_COUNT];
MeshRecord gPropMeshes[PROP_MESH_COUNT];
MeshRecord gCrystalMesh;
TextureSlot gEnemyIconTextures[ENEMY_ICON_SLOTS];
TextureSlot gFloorBannerTexture;

const int32_t CUSTOMER_SPRITE_SHEETS[CUSTOMER_SHEET_COUNT] = {10, 35, 29, 28, 32, 39, 36, 37, 38, 30, 31,
                                                              40, 41, 42, 43, 4,  5,  47, 48, 66, 67};

// Only the first name is known to the data we ship against; the others
// follow the kind number, as the sample data names its icons.
const char* const ENEMY_ICON_FILES[ENEMY_ICON_COUNT] = {
    "bmp/en/sraim_g_mini.tga", "bmp/en/enemy01_mini.tga", "bmp/en/enemy02_mini.tga", "bmp/en/enemy03_mini.tga",
    "bmp/en/enemy04_mini.tga", "bmp/en/enemy05_mini.tga", "bmp/en/enemy06_mini.tga", "bmp/en/enemy07_mini.tga",
    "bmp/en/enemy08_mini.tga", "bmp/en/enemy09_mini.tga", "bmp/en/enemy10_mini.tga", "bmp/en/enemy11_mini.tga",
    "bmp/en/enemy12_mini.tga", "bmp/en/enemy13_mini.tga", "bmp/en/enemy14_mini.tga", "bmp/en/enemy15_mini.tga",
    "bmp/en/enemy16_mini.tga", "bmp/en/enemy17_mini.tga", "bmp/en/enemy18_mini.tga", "bmp/en/enemy19_mini.tga",
    "bmp/en/enemy20_mini.tga", "bmp/en/enemy21_mini.tga", "bmp/en/enemy22_mini.tga", "bmp/en/enemy23_mini.tga",
    "bmp/en/enemy24_mini.tga", "bmp/en/enemy25_mini.tga", "bmp/en/enemy26_mini.tga", "bmp/en/enemy27_mini.tga",
    "bmp/en/enemy28_mini.tga", "bmp/en/enemy29_mini.tga", "bmp/en/enemy30_mini.tga", "bmp/en/enemy31_mini.tga",
    "bmp/en/enemy32_mini.tga", "bmp/en/enemy33_mini.tga", "bmp/en/enemy34_mini.tga", "bmp/en/enemy35_mini.tga",
    "bmp/en/enemy36_mini.tga", "bmp/en/enemy37_mini.tga", "bmp/en/enemy38_mini.tga", "bmp/en/enemy39_mini.tga",
    "bmp/en/enemy40_mini.tga", "bmp/en/enemy41_mini.tga", "bmp/en/enemy42_mini.tga", "bmp/en/enemy43_mini.tga",
    "bmp/en/enemy44_mini.tga", "bmp/en/enemy45_mini.tga", "bmp/en/enemy46_mini.tga", "bmp/en/enemy47_mini.tga",
    "bmp/en/enemy48_mini.tga", "bmp/en/enemy49_mini.tga", "bmp/en/enemy50_mini.tga", "bmp/en/enemy51_mini.tga",
    "bmp/en/enemy52_mini.tga", "bmp/en/enemy53_mini.tga", "bmp/en/enemy54_mini.tga", "bmp/en/enemy55_mini.tga",
    "bmp/en/enemy56_mini.tga", "bmp/en/enemy57_mini.tga", "bmp/en/enemy58_mini.tga", "bmp/en/enemy59_mini.tga",
    "bmp/en/enemy60_mini.tga", "bmp/en/enemy61_mini.tga", "bmp/en/enemy62_mini.tga", "bmp/en/enemy63_mini.tga",
    "bmp/en/enemy64_mini.tga", "bmp/en/enemy65_mini.tga", "bmp/en/enemy66_mini.tga", "bmp/en/enemy67_mini.tga",
    "bmp/en/enemy68_mini.tga", "bmp/en/enemy69_mini.tga", "bmp/en/enemy70_mini.tga", "bmp/en/enemy71_mini.tga",
    "bmp/en/enemy72_mini.tga", "bmp/en/enemy73_mini.tga", "bmp/en/enemy74_mini.tga", "bmp/en/enemy75_mini.tga",
    "bmp/en/enemy76_mini.tga", "bmp/en/enemy77_mini.tga", "bmp/en/enemy78_mini.tga", "bmp/en/enemy79_mini.tga",
    "bmp/en/enemy80_mini.tga", "bmp/en/enemy81_mini.tga", "bmp/en/enemy82_mini.tga",
};

namespace {

constexpr int32_t FIELD_TEXTURE_GROUP = TEXTURE_GROUP_FIELD;
constexpr int32_t STAGE_TEXTURE_GROUP = TEXTURE_GROUP_STAGE;
constexpr int32_t ENEMY_TEXTURE_GROUP = TEXTURE_GROUP_ENEMIES;
constexpr int32_t SHOP_PICTURE_SIDE = 256;
constexpr int32_t ENEMY_ICON_SIDE = 64;
constexpr int32_t CHEST_MODEL = 2;
constexpr int32_t DOOR_MODEL = 3;

const char* const FIELD_MESH_FILES[FIELD_MESH_COUNT] = {
    "xfile/mori_dun/obj_tree01.x", "xfile/mori_dun/obj_tree02.x",
    "xfile/mori_dun/obj_kusa01.x", "xfile/mori_dun/obj_kusa02.x",
};
const char* const PROP_MESH_FILES[PROP_MESH_COUNT] = {
    "xfile/etc/ice01.x", "xfile/etc/train_iwa.x", "xfile2/g_lat/yokomaguro.x",
    "xfile2/vector/vector.x", "xfile2/vector/vector_ring.x",
};
const char* const ENEMY_MODEL_FILES[ENEMY_MODEL_COUNT] = {
    "xfile2/g_lat/g_lat_06.x",           "xfile2/g_lat/g_lat_07.x",          "xfile2/g_lat/g_lat_08.x",
    "xfile2/golem_g/golem_g01.x",        "xfile2/golem_g/golem_g02.x",       "xfile2/golem_g/golem_g03.x",
    "xfile2/d_golem_g/golem_g01.x",      "xfile2/d_golem_g/golem_g02.x",     "xfile2/d_golem_g/golem_g03.x",
    "xfile2/boss_omu/omu_boss_01.x",     "xfile2/kani/kani01.x",             "xfile2/d_kani/kani01.x",
    "xfile2/kurage/kurage_01.x",         "xfile2/d_kurage/kurage_01.x",      "xfile2/maou/maou_02.X",
    "xfile2/crystal_gorem/cyg_body.X",   "xfile2/crystal_gorem/cyg_core.X",  "xfile2/crystal_gorem/cyg_r.X",
    "xfile2/crystal_gorem/cyg_l.X",      nullptr,
};

// The boss floors of each dungeon (0-based floor, boss word); -1 ends a list.
struct BossFloor {
    int32_t floor;
    const char* word;
};
const BossFloor BOSS_FLOORS_1[] = {{4, "kingslim"}, {9, "jijo"}, {14, "rerado"}, {-1, nullptr}};
const BossFloor BOSS_FLOORS_2[] = {{4, "kingahriman"}, {9, "omu"}, {14, "monster"}, {19, "kani"},
                                   {24, "kingslim"}, {29, "zazuru"}, {-1, nullptr}};
const BossFloor BOSS_FLOORS_3[] = {{4, "kabocha"}, {9, "kurage"}, {14, "kingahriman"}, {19, "gorem"},
                                   {24, "monster"}, {29, "dedar"}, {34, "monster"}, {39, "omu"},
                                   {44, "monster"}, {49, "dedar2"}, {-1, nullptr}};
const BossFloor BOSS_FLOORS_4[] = {{4, "kabocha"}, {9, "jijo"}, {14, "kingahriman"}, {19, "omu"},
                                   {24, "kingslim"}, {29, "monster"}, {34, "kabocha"}, {39, "kurage"},
                                   {44, "monster"}, {49, "zoze"}, {54, "monster"}, {59, "jijo"},
                                   {64, "monster"}, {69, "gorem"}, {74, "monster"}, {79, "omu"},
                                   {84, "monster"}, {89, "kani"}, {94, "monster"}, {99, "zoze2"},
                                   {-1, nullptr}};
const BossFloor BOSS_FLOORS_5[] = {{30, "kingslim"}, {31, "jijo"}, {32, "rerado"}, {33, "kingahriman"},
                                   {34, "omu"}, {35, "kani"}, {36, "kingslim"}, {37, "zazuru"},
                                   {38, "kabocha"}, {39, "kurage"}, {40, "kingahriman"}, {41, "gorem"},
                                   {42, "dedar"}, {43, "omu"}, {44, "monster"}, {45, "dedar2"},
                                   {46, "kabocha"}, {47, "jijo"}, {48, "kingahriman"}, {49, "omu"},
                                   {50, "kingslim"}, {51, "kabocha"}, {52, "kurage"}, {53, "zoze"},
                                   {54, "monster"}, {55, "jijo"}, {56, "gorem"}, {57, "kani"},
                                   {58, "zoze2"}, {-1, nullptr}};
const BossFloor* const BOSS_FLOORS[6] = {nullptr, BOSS_FLOORS_1, BOSS_FLOORS_2, BOSS_FLOORS_3, BOSS_FLOORS_4,
                                         BOSS_FLOORS_5};

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

TextureSlot* shopWallPicture(int32_t choice) { return &gShopWallTextures[shopDecorationChoice(choice, SHOP_WALL_COUNT)]; }

void resetFieldResources() {
    for (MeshRecord& mesh : gStageMeshes) mesh = MeshRecord{};
    for (auto& pair : gShopTableModels)
        for (MeshRecord& mesh : pair) mesh = MeshRecord{};
    for (TextureSlot& slot : gFieldTextures) slot = TextureSlot{};
    for (TextureSlot& slot : gShopWallTextures) slot = TextureSlot{};
    for (TextureSlot& slot : gShopFloorTextures) slot = TextureSlot{};
    for (TextureSlot& slot : gRugTextures) slot = TextureSlot{};
    for (TextureSlot& slot : gEnemyIconTextures) slot = TextureSlot{};
    for (MeshRecord& mesh : gFieldMeshes) mesh = MeshRecord{};
    for (MeshRecord& mesh : gPropMeshes) mesh = MeshRecord{};
    gCrystalMesh = MeshRecord{};
    gMapTexture = TextureSlot{};
    gMagicCircleTexture = TextureSlot{};
    gDungeonClearTexture = TextureSlot{};
    gLevelWindowTexture = TextureSlot{};
    gMoodTexture = TextureSlot{};
    gFlareSlot = TextureSlot{};
    gFloorBannerTexture = TextureSlot{};
}

void releaseAllTextures() {
    releaseFieldResources();
    for (int32_t group = 0; group < TEXTURE_GROUP_FULL_RELEASE; ++group) releaseTextureGroup(group);
    releaseRenderTargets();
}

void releaseFieldResources() {
    releaseStageModels();
    releaseEnemyModels();
    releaseTextureGroup(FIELD_TEXTURE_GROUP);
    for (SkinModel& model : gFieldModels) releaseSkinModel(&model);
    for (MeshRecord& mesh : gFieldMeshes) releaseMesh(&mesh);
    for (MeshRecord& mesh : gPropMeshes) releaseMesh(&mesh);
    for (auto& pair : gShopTableModels)
        for (MeshRecord& mesh : pair) releaseMesh(&mesh);
    // The model textures belong to the table, not to a registry group.
    for (MeshTextureEntry& entry : gMeshTextures.entries) {
        if (entry.texture && gGfxDevice) gGfxDevice->releaseTexture(entry.texture);
        entry.texture = nullptr;
    }
    clearMeshTextures();
}

int32_t leaderSpriteSheet(int32_t adventurer) {
    return adventurer >= 0 && adventurer < ADVENTURER_COUNT ? ADVENTURER_MODELS[adventurer] : 42;
}

void loadFieldResources() {
    followShopSize();
    clearMeshTextures();
    bindStageModels();
    loadFloorEnemies();
    if (!gCurrentStage) return;
    const StageRecord& stage = *gCurrentStage;
    loadTextureToGroup(FIELD_TEXTURE_GROUP, gFlareSlot, "bmp/flare.tga", 256, 256);
    if (stage.maptype == 0) {
        for (int32_t sheet : CUSTOMER_SPRITE_SHEETS) loadCharacterSheet(FIELD_TEXTURE_GROUP, sheet);
        loadTextureToGroup(FIELD_TEXTURE_GROUP, gLevelWindowTexture, "bmp/leve_win.tga", 512, 256);
        loadTextureToGroup(FIELD_TEXTURE_GROUP, gMoodTexture, "bmp/mood_para.tga", 512, 512);
        loadShopWalls(0);
        loadShopFloors(0);
        loadShopRugs(0);
        loadShopTables(0);
        // Kept on the shop too: a shop stage that names water (the sample's
        // basin) draws it with these frames.
        loadWaterFrames(stage);
        return;
    }
    loadCharacterSheet(FIELD_TEXTURE_GROUP, leaderSpriteSheet(gChosenAdventurer));
    loadSkinModel(&gFieldModels[CHEST_MODEL], "xfile/tree/takarabako.x", 0, 1);
    loadSkinModel(&gFieldModels[DOOR_MODEL], "xfile/tree/obj_door.x", 0, 1);
    for (int32_t i = 0; i < FIELD_MESH_COUNT; ++i) loadMesh(&gFieldMeshes[i], FIELD_MESH_FILES[i], -1);
    loadTextureToGroup(FIELD_TEXTURE_GROUP, gMapTexture, "bmp/map.bmp", 256, 512);
    loadWaterFrames(stage);
    loadTextureToGroup(FIELD_TEXTURE_GROUP, gMagicCircleTexture, "bmp/mahoujin.bmp", 128, 128);
    loadTextureToGroup(FIELD_TEXTURE_GROUP, gDungeonClearTexture, "bmp/dungeon_clear.tga", 512, 512);
    for (int32_t i = 0; i < PROP_MESH_COUNT; ++i) loadMesh(&gPropMeshes[i], PROP_MESH_FILES[i], -1);
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
    // A 20th map model would share its slot with the background: the
    // background keeps it, the map keeps its collision.
    int32_t meshSlots = stage.hasMapbg ? STAGE_BACKGROUND_SLOT : STAGE_MESH_COUNT;
    for (int32_t i = 0; i < stage.mapCount && i < STAGE_MAP_MAX; ++i) {
        if (i < meshSlots) loadMesh(&gStageMeshes[i], stage.map[i], i);
        loadCollisionMesh(stage.map[i], i);
    }
    if (stage.hasMapbg) loadMesh(&gStageMeshes[STAGE_BACKGROUND_SLOT], stage.mapbg, -1);
}

void releaseEnemyModels() {
    releaseTextureGroup(ENEMY_TEXTURE_GROUP);
    for (SkinModel& model : gEnemyModels) releaseSkinModel(&model);
    releaseMesh(&gCrystalMesh);
}

bool floorBanner(int32_t dungeon, int32_t floor, FloorBanner* out) {
    if (dungeon < 0 || dungeon > 5) return false;
    if (const BossFloor* row = BOSS_FLOORS[dungeon]) {
        for (; row->floor >= 0; ++row) {
            if (row->floor != floor) continue;
            snprintf(out->path, sizeof out->path, "bmp/title/bossname_%s.tga", row->word);
            out->width = 512;
            out->height = 128;
            return true;
        }
    }
    snprintf(out->path, sizeof out->path, "bmp/title/dungeon_title%d.tga", (int)(dungeon + 1));
    out->width = 1024;
    out->height = 256;
    return true;
}

const char* enemyModelFile(int32_t modelNumber) {
    return modelNumber >= 0 && modelNumber < ENEMY_MODEL_COUNT ? ENEMY_MODEL_FILES[modelNumber] : nullptr;
}
const char* enemyCrystalFile(int32_t modelNumber) {
    if (modelNumber == 3) return "xfile2/golem_g/golem_crystal01.x";
    if (modelNumber == 6) return "xfile2/d_golem_g/golem_crystal01.x";
    return nullptr;
}

void loadEnemyKindResources(const int32_t* flags) {
    bool sheetLoaded[CHARACTER_TEXTURE_COUNT] = {};
    for (int32_t k = 0; k < ENEMY_KIND_CAPACITY; ++k) {
        const EnemyKind& kind = gEnemyKinds[k];
        if (!flags[k] || kind.modelKind != ENEMY_MODEL_SPRITE) continue;
        int32_t sheet = kind.modelNumber;
        if (sheet < 0 || sheet >= CHARACTER_TEXTURE_COUNT) continue;
        if (sheetLoaded[sheet] || gCharacterTextures[sheet].texture) continue;
        sheetLoaded[sheet] = true;
        loadCharacterSheet(ENEMY_TEXTURE_GROUP, sheet);
    }
    for (int32_t k = 0; k < ENEMY_KIND_CAPACITY; ++k) {
        if (!flags[k] || k >= ENEMY_ICON_COUNT) continue;   // a kind beyond the names has no icon
        loadTextureToGroup(ENEMY_TEXTURE_GROUP, gEnemyIconTextures[k], ENEMY_ICON_FILES[k], ENEMY_ICON_SIDE,
                           ENEMY_ICON_SIDE);
    }
    for (int32_t k = 0; k < ENEMY_KIND_CAPACITY; ++k) {
        const EnemyKind& kind = gEnemyKinds[k];
        if (!flags[k] || kind.modelKind != ENEMY_MODEL_SKINNED) continue;
        const char* file = enemyModelFile(kind.modelNumber);
        if (!file) continue;
        loadSkinModel(&gEnemyModels[kind.modelNumber], file, 0, 0);
        if (const char* crystal = enemyCrystalFile(kind.modelNumber)) loadMesh(&gCrystalMesh, crystal, -1);
    }
    FloorBanner banner;
    if (floorBanner(gRun.dungeonIndex, gFloorIndex, &banner))
        loadTextureToGroup(ENEMY_TEXTURE_GROUP, gFloorBannerTexture, banner.path, banner.width, banner.height);
}

void loadFloorEnemies() {
    if (!gCurrentStage || gCurrentStage->maptype == 0) return;
    int32_t flags[ENEMY_KIND_CAPACITY] = {};
    markFloorEnemyKinds(flags);
    loadEnemyKindResources(flags);
}
// Each named picture of the type as "bmp/<name>", 512 x 512, into the
// type's ten slots.
static void loadCustomerPictures(int32_t group, int32_t typeIndex) {
    for (int32_t i = 0; i < CUSTOMER_PICTURE_SLOTS; i++) {
        const char* name = customerPictureFile(typeIndex, i);
        if (!name) continue;
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
void loadCustomerPortraitsB() { loadCustomerPictures(TEXTURE_GROUP_VISITOR, counterVisitorType()); }

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
static void releaseOtherPictures(int32_t chosen, TextureSlot* slots, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
        if (i != chosen && slots[i].texture) releaseTexture(slots[i].texture);
}
void releaseOtherShopWalls() {
    releaseOtherPictures(shopDecorationChoice(runningGameState().shopWall, SHOP_WALL_COUNT), gShopWallTextures,
                         SHOP_WALL_COUNT);
}
void releaseOtherShopFloors() {
    releaseOtherPictures(shopDecorationChoice(runningGameState().shopFloor, SHOP_FLOOR_COUNT), gShopFloorTextures,
                         SHOP_FLOOR_COUNT);
}
void releaseOtherShopRugs() {
    releaseOtherPictures(shopDecorationChoice(runningGameState().shopRug, SHOP_RUG_COUNT), gRugTextures,
                         SHOP_RUG_COUNT);
}
void releaseOtherShopTables() {
    int32_t chosen = shopDecorationChoice(runningGameState().shopTable, SHOP_TABLE_COUNT);
    for (int32_t i = 0; i < SHOP_TABLE_COUNT; ++i)
        if (i != chosen)
            for (MeshRecord& mesh : gShopTableModels[i]) releaseMesh(&mesh);
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
