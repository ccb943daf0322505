#include "engine/scene_pictures.h"

#include <cstdio>
#include <iterator>

#include "engine/device.h"
#include "engine/motion_files.h"
#include "engine/overlay_screen.h"
#include "engine/save_file.h"
#include "engine/scene_hooks.h"

TextureSlot gSystemTexture;
TextureSlot gNowLoadingTexture;
TextureSlot gSaveWindowTexture;
TextureSlot gWindowTexture;
TextureSlot gItemWindowTexture;
TextureSlot gDataWindowTexture;
TextureSlot gPlayerGaugeTexture;
TextureSlot gHpMpBaseTexture;
TextureSlot gHpMpExpTexture;
TextureSlot gEnemyHpTexture;
TextureSlot gMagicGemTexture;
TextureSlot gEffectTexture;
TextureSlot gCobwebTexture;
TextureSlot gKatterTexture;
TextureSlot gMahiTexture;
TextureSlot gSnowTexture;
TextureSlot gEffectShotTexture;
TextureSlot gShadeTexture;
TextureSlot gScenePictures[SCENE_PICTURE_COUNT];
TextureSlot gScenePicture;
TextureSlot gCustomerPictures[CUSTOMER_PICTURE_TOTAL];
TextureSlot gNamePlateTexture;
TextureSlot gShopModeTexture;
TextureSlot gPauseTextures[PAUSE_TEXTURE_COUNT];
TextureSlot gPausePictures[2 * ADVENTURER_PICTURE_COUNT];
TextureSlot gCalendarTexture;

static const ScenePicture SYSTEM_WINDOW_PICTURES[] = {
    {"bmp/system.bmp", 128, 128, &gSystemTexture},         {"bmp/fps2.tga", 256, 32, &gFpsTexture},
    {"bmp/nowloading.tga", 256, 64, &gNowLoadingTexture},  {"bmp/savewindow.tga", 512, 128, &gSaveWindowTexture},
    {"bmp/window.tga", 64, 64, &gWindowTexture},           {"bmp/item_win.tga", 1024, 1024, &gItemWindowTexture},
    {"bmp/data_win.tga", 512, 512, &gDataWindowTexture},
};
static const ScenePicture SYSTEM_FIELD_PICTURES[] = {
    {"bmp/pc_gage.tga", 512, 512, &gPlayerGaugeTexture},    {"bmp/hpmp_base.tga", 512, 512, &gHpMpBaseTexture},
    {"bmp/hpmp_exp.tga", 128, 128, &gHpMpExpTexture},       {"bmp/ene_hp2.tga", 512, 256, &gEnemyHpTexture},
    {"bmp/magicjem.tga", 512, 256, &gMagicGemTexture},      {"bmp/effect.bmp", 256, 256, &gEffectTexture},
    {"bmp/kumonosu.tga", 128, 128, &gCobwebTexture},        {"bmp/katter.tga", 64, 64, &gKatterTexture},
    {"bmp/effect_mahi.bmp", 256, 64, &gMahiTexture},        {"bmp/snow.bmp", 128, 128, &gSnowTexture},
    {"bmp/effect_shot.bmp", 256, 256, &gEffectShotTexture}, {"bmp/shade.bmp", 256, 256, &gShadeTexture},
};

TextureSlot gCharacterTextures[CHARACTER_TEXTURE_COUNT];

void loadCharacterSheet(int32_t group, int32_t sheet) {
    if (sheet < 0 || sheet >= CHARACTER_TEXTURE_COUNT) return;
    char path[32];
    snprintf(path, sizeof path, "bmp/chr/chr%02d.bmp", (int)sheet);
    const MotionRecord& motion = gMotions[sheet];
    loadTextureToGroup(group, gCharacterTextures[sheet], path, motion.sheetWidth, motion.sheetHeight);
}

void resetCharacterTextures() {
    for (TextureSlot& slot : gCharacterTextures) slot = TextureSlot{};
}

// The heroine's, the fairy's and the second figure's sheets stay loaded.
static constexpr int32_t PARTY_SHEET_COUNT = 3;

void loadSystemTextures() {
    createRenderTargets();
    clearTextureRegistry();
    // The render targets' own slots: only their sizes, which turn source
    // rectangles into texture coordinates; they are not registered.
    gAfterimageTexture.width = 640;
    gAfterimageTexture.height = 480;
    gTransitionTexture.width = 1280;
    gTransitionTexture.height = 256;
    loadPictures(TEXTURE_GROUP_SYSTEM, SYSTEM_WINDOW_PICTURES);
    for (int32_t sheet = 0; sheet < PARTY_SHEET_COUNT; ++sheet) loadCharacterSheet(TEXTURE_GROUP_SYSTEM, sheet);
    loadPictures(TEXTURE_GROUP_SYSTEM, SYSTEM_FIELD_PICTURES);
    callHook(gSceneHooks.loadEffectImageTextures);
    callHook(gSceneHooks.loadItemIconSheets);
}

void releaseSystemTextures() { releaseTextureGroup(TEXTURE_GROUP_SYSTEM); }

static const ScenePicture TITLE_PICTURES[] = {
    {"bmp/title_bg2.bmp", 1024, 1024, &gScenePictures[0]},   {"bmp/title01.tga", 512, 256, &gScenePictures[1]},
    {"bmp/title_fuki.tga", 512, 1024, &gScenePictures[2]},   {"bmp/title_waku.tga", 1024, 512, &gScenePictures[3]},
    {"bmp/pause.tga", 1024, 512, &gPauseTextures[0]},        {"bmp/result_bord01.tga", 512, 256, &gPauseTextures[2]},
    {"bmp/dungeonbord.tga", 1024, 512, &gPauseTextures[3]},
};

void loadTitleTextures() { loadPictures(TEXTURE_GROUP_TITLE, TITLE_PICTURES); }

void startStartupPicturePrefetch() {
    const TexturePictureRequest* requests[std::size(SYSTEM_WINDOW_PICTURES) + std::size(SYSTEM_FIELD_PICTURES) +
                                          std::size(TITLE_PICTURES)];
    int32_t count = 0;
    for (const ScenePicture& p : SYSTEM_WINDOW_PICTURES) requests[count++] = &p;
    for (const ScenePicture& p : SYSTEM_FIELD_PICTURES) requests[count++] = &p;
    for (const ScenePicture& p : TITLE_PICTURES) requests[count++] = &p;
    startPicturePrefetch(requests, count);
}
void releaseTitleTextures() { releaseTextureGroup(TEXTURE_GROUP_TITLE); }

static const ScenePicture PAUSE_SHEET[] = {{"bmp/pause.tga", 1024, 512, &gPauseTextures[0]}};

void loadGameOverTextures() { loadPictures(TEXTURE_GROUP_GAME_OVER, PAUSE_SHEET); }
void releaseGameOverTextures() { releaseTextureGroup(TEXTURE_GROUP_GAME_OVER); }
void loadEndingSaveTextures() { loadPictures(TEXTURE_GROUP_ENDING_SAVE, PAUSE_SHEET); }
void releaseEndingSaveTextures() { releaseTextureGroup(TEXTURE_GROUP_ENDING_SAVE); }

static const ScenePicture WORLD_MAP_PICTURES[] = {
    {"bmp/worldmap_nomal.bmp", 1024, 512, &gScenePictures[0]},
    {"bmp/worldmap_yugata.bmp", 1024, 512, &gScenePictures[1]},
    {"bmp/worldmap_night.bmp", 1024, 512, &gScenePictures[2]},
    {"bmp/mappoint.tga", 256, 1024, &gScenePicture},
};

void loadWorldMapTextures() { loadPictures(TEXTURE_GROUP_WORLD_MAP, WORLD_MAP_PICTURES); }
void releaseWorldMapTextures() { releaseTextureGroup(TEXTURE_GROUP_WORLD_MAP); }

static const ScenePicture RESULTS_PICTURES[] = {
    {"bmp/choushuu.tga", 1024, 1024, &gScenePictures[0]},
    {"bmp/result_bord01.tga", 512, 256, &gScenePictures[1]},
    {"bmp/hanko.tga", 128, 1024, &gScenePictures[2]},
};

void loadResultsTextures() { loadPictures(TEXTURE_GROUP_RESULTS, RESULTS_PICTURES); }
void releaseResultsTextures() { releaseTextureGroup(TEXTURE_GROUP_RESULTS); }
void loadItemSelectTextures() {}
void releaseItemSelectTextures() { releaseTextureGroup(TEXTURE_GROUP_RESULTS); }

void loadEndingTextures() {
    loadTextureToGroup(TEXTURE_GROUP_ENDING, gScenePictures[0], "bmp/end/ending_bg.bmp", 1024, 1024);
    char path[64];
    for (int32_t i = 1; i <= 11; ++i) {
        snprintf(path, sizeof path, "bmp/end/end_screen%02d.tga", i);
        loadTextureToGroup(TEXTURE_GROUP_ENDING, gScenePictures[i], path, 512, 512);
    }
    for (int32_t i = 1; i <= 5; ++i) {
        snprintf(path, sizeof path, "bmp/end/staff%02d.tga", i);
        loadTextureToGroup(TEXTURE_GROUP_ENDING, gScenePictures[11 + i], path, 512, 512);
    }
}

void releaseEndingTextures() { releaseTextureGroup(TEXTURE_GROUP_ENDING); }

// The eight adventurers, in their order.
static const char* const ADVENTURER_PICTURE_PATHS[ADVENTURER_PICTURE_COUNT] = {
    "bmp/st_vuror.tga", "bmp/st_rerado.tga", "bmp/st_zirezuz.tga", "bmp/st_zazuru.tga",
    "bmp/st_zuzi.tga",  "bmp/st_doda.tga",   "bmp/st_dedar.tga",   "bmp/st_zoze.tga",
};
static const char* const CONTROL_PICTURE_PATHS[ADVENTURER_PICTURE_COUNT] = {
    "bmp/sousa_vur.tga", "bmp/sousa_rer.tga", "bmp/sousa_zir.tga", "bmp/sousa_zaz.tga",
    "bmp/sousa_zuz.tga", "bmp/sousa_dod.tga", "bmp/sousa_ded.tga", "bmp/sousa_zoz.tga",
};

static const ScenePicture DEPART_PICTURES[] = {
    {"bmp/boukenguild_bg.bmp", 1024, 512, &gScenePictures[0]}, {"bmp/brave_sel.tga", 512, 512, &gScenePictures[1]},
    {"bmp/dungeonmap.tga", 1024, 512, &gScenePictures[2]},     {"bmp/dungeonbord.tga", 1024, 512, &gScenePictures[3]},
};

void loadDepartTextures() {
    loadPictures(TEXTURE_GROUP_PLACE, DEPART_PICTURES);
    for (int32_t i = 0; i < ADVENTURER_PICTURE_COUNT; ++i)
        loadTextureToGroup(TEXTURE_GROUP_PLACE, gScenePictures[4 + i], ADVENTURER_PICTURE_PATHS[i], 512, 512);
}

static const ScenePicture CHURCH_PICTURES[] = {{"bmp/ivent/bg_kyoukai.bmp", 1024, 512, &gScenePictures[0]}};
static const ScenePicture PLAZA_PICTURES[] = {
    {"bmp/ivent/bg_hiro1.bmp", 1024, 512, &gScenePictures[0]},
    {"bmp/ivent/bg_hiro2.bmp", 1024, 512, &gScenePictures[1]},
    {"bmp/ivent/bg_hiro3.bmp", 1024, 512, &gScenePictures[2]},
};
static const ScenePicture PLAZA_IDLE_PICTURES[] = {{"bmp/ivent/bg_hiro1.bmp", 1024, 512, &gScenePictures[0]}};
static const ScenePicture TAVERN_PICTURES[] = {{"bmp/ivent/bg_sakaba.bmp", 1024, 512, &gScenePictures[0]}};

void loadChurchTextures() { loadPictures(TEXTURE_GROUP_PLACE, CHURCH_PICTURES); }
void loadPlazaTextures() { loadPictures(TEXTURE_GROUP_PLACE, PLAZA_PICTURES); }
void loadPlazaIdleTextures() { loadPictures(TEXTURE_GROUP_PLACE, PLAZA_IDLE_PICTURES); }
void loadTavernTextures() { loadPictures(TEXTURE_GROUP_PLACE, TAVERN_PICTURES); }
void releasePlaceTextures() { releaseTextureGroup(TEXTURE_GROUP_PLACE); }

int32_t gOpeningVariant;

void resetOpeningVariant() { gOpeningVariant = 0; }

static const ScenePicture OPENING_PICTURES[] = {
    {"bmp/op/akaituki.bmp", 1024, 1024, &gScenePictures[0]}, {"bmp/op/yorumori.bmp", 1024, 512, &gScenePictures[1]},
    {"bmp/op/messe01.tga", 1024, 1024, &gScenePictures[2]},  {"bmp/op/messe02.tga", 1024, 1024, &gScenePictures[3]},
    {"bmp/op/yousei.bmp", 512, 512, &gScenePictures[4]},
};
static const ScenePicture EXTRA_OPENING_PICTURES[] = {
    {"bmp/op/ex_op_lib.bmp", 1024, 512, &gScenePictures[0]},
    {"bmp/op/ex_op_book.bmp", 1024, 512, &gScenePictures[1]},
    {"bmp/op/ex_messe01.tga", 1024, 1024, &gScenePictures[2]},
    {"bmp/op/ex_messe02.tga", 1024, 1024, &gScenePictures[3]},
};

void loadOpeningTextures() {
    if (gOpeningVariant == 2) loadPictures(TEXTURE_GROUP_OPENING, EXTRA_OPENING_PICTURES);
    else loadPictures(TEXTURE_GROUP_OPENING, OPENING_PICTURES);
}
void releaseOpeningTextures() { releaseTextureGroup(TEXTURE_GROUP_OPENING); }

void releaseEventTextures() { releaseTextureGroup(TEXTURE_GROUP_EVENT); }

static const ScenePicture PAUSE_PICTURES[] = {
    {"bmp/pause_bg_safo.tga", 1024, 512, &gPauseTextures[1]},
    {"bmp/result_bord01.tga", 512, 256, &gPauseTextures[2]},
    {"bmp/dungeonbord.tga", 1024, 512, &gPauseTextures[3]},
    {"bmp/calendar.tga", 512, 512, &gCalendarTexture},
};

void loadPauseTextures() {
    // Survival and endless games have their own pause sheet.
    int32_t playMode = runningGameState().playMode;
    const char* sheet =
        playMode == PLAY_MODE_SURVIVAL || playMode == PLAY_MODE_ENDLESS ? "bmp/pause_endless.tga" : "bmp/pause.tga";
    loadTextureToGroup(TEXTURE_GROUP_PAUSE, gPauseTextures[0], sheet, 1024, 512);
    loadPictures(TEXTURE_GROUP_PAUSE, PAUSE_PICTURES);
    for (int32_t i = 0; i < ADVENTURER_PICTURE_COUNT; ++i)
        loadTextureToGroup(TEXTURE_GROUP_PAUSE, gPausePictures[i], CONTROL_PICTURE_PATHS[i], 1024, 512);
    for (int32_t i = 0; i < ADVENTURER_PICTURE_COUNT; ++i)
        loadTextureToGroup(TEXTURE_GROUP_PAUSE, gPausePictures[ADVENTURER_PICTURE_COUNT + i],
                           ADVENTURER_PICTURE_PATHS[i], 512, 512);
}

void releasePauseTextures() { releaseTextureGroup(TEXTURE_GROUP_PAUSE); }
