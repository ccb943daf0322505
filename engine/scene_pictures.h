// engine/scene_pictures.h: each scene's set of 2D pictures, loaded into the
// scene's texture group when it is entered and released by that group when
// it is left, and the slots the sets load into (the scenes' drawers read
// them). The loaders run on the scene loader thread, on the main thread at
// start-up and on a return to the title, and after a device reset; nothing
// checks whether a group is loaded already, so a scene releases its group
// before its set is loaded again. Several sets share the first scene picture
// slots, since only one of those scenes is loaded at a time.
#pragma once
#include <cstdint>

#include "engine/textures.h"

enum TextureGroup : int32_t {
    TEXTURE_GROUP_SYSTEM = 1,
    TEXTURE_GROUP_TITLE = 2,
    TEXTURE_GROUP_FIELD = 3,
    TEXTURE_GROUP_GAME_OVER = 4,
    TEXTURE_GROUP_RESULTS = 5,
    TEXTURE_GROUP_ENDING = 6,
    TEXTURE_GROUP_PLACE = 7,        // market or guild, departure, church, plaza, tavern
    TEXTURE_GROUP_EVENT = 8,
    TEXTURE_GROUP_ENDING_SAVE = 9,
    TEXTURE_GROUP_WORLD_MAP = 10,
    TEXTURE_GROUP_STAGE = 11,
    TEXTURE_GROUP_PAUSE = 12,
    TEXTURE_GROUP_OPENING = 13,
    TEXTURE_GROUP_ENEMIES = 15,
    TEXTURE_GROUP_SHOPKEEPER = 16,  // customer type 0's pictures, the name plates, the shop-mode sheet
    TEXTURE_GROUP_VISITOR = 17,     // the current visitor's pictures
};

// System pictures (group 1).
extern TextureSlot gSystemTexture;        // "bmp/system.bmp": white cell (1, 1)-(7, 7), black (9, 1)-(15, 7)
extern TextureSlot gNowLoadingTexture;    // "bmp/nowloading.tga": sign (64, 0)-(192, 64), spinner, pointer
extern TextureSlot gSaveWindowTexture;    // "bmp/savewindow.tga": the message and yes/no window
extern TextureSlot gWindowTexture;        // "bmp/window.tga": window frame pieces
extern TextureSlot gItemWindowTexture;    // "bmp/item_win.tga": slot plates, arrows, digits, bands
extern TextureSlot gDataWindowTexture;    // "bmp/data_win.tga": popup backgrounds, the skip hint
extern TextureSlot gPlayerGaugeTexture;   // "bmp/pc_gage.tga"
extern TextureSlot gHpMpBaseTexture;      // "bmp/hpmp_base.tga": gauges and adventurer portraits
extern TextureSlot gHpMpExpTexture;       // "bmp/hpmp_exp.tga": the experience ring
extern TextureSlot gEnemyHpTexture;       // "bmp/ene_hp2.tga"
extern TextureSlot gMagicGemTexture;      // "bmp/magicjem.tga": 64 x 64 cells, eight a row
extern TextureSlot gEffectTexture;        // "bmp/effect.bmp"
extern TextureSlot gCobwebTexture;        // "bmp/kumonosu.tga"
extern TextureSlot gKatterTexture;        // "bmp/katter.tga"
extern TextureSlot gMahiTexture;          // "bmp/effect_mahi.bmp": paralysis marks
extern TextureSlot gSnowTexture;          // "bmp/snow.bmp"
extern TextureSlot gEffectShotTexture;    // "bmp/effect_shot.bmp"
extern TextureSlot gShadeTexture;         // "bmp/shade.bmp"

// The sprite sheets "bmp/chr/chr%02d.bmp" by sheet (and motion) number:
// the system set loads the party's sheets 0 to 2, the field the others.
constexpr int32_t CHARACTER_TEXTURE_COUNT = 68;
extern TextureSlot gCharacterTextures[CHARACTER_TEXTURE_COUNT];
// One sheet into the group, at the picture size its motion record gives.
void loadCharacterSheet(int32_t group, int32_t sheet);
// The sheets' slots as a fresh process has them, forgetting (not releasing)
// what they held.
void resetCharacterTextures();

// The scene picture slots: title, town map, day report, places, ending.
constexpr int32_t SCENE_PICTURE_COUNT = 17;
extern TextureSlot gScenePictures[SCENE_PICTURE_COUNT];
extern TextureSlot gScenePicture;         // the town map's icon sheet "bmp/mappoint.tga"
// The pause sheet ("bmp/pause.tga" or its endless twin), the pause backdrop,
// the result board and the dungeon board: the title's save list, options and
// records windows and the pause menu draw from the same slots.
constexpr int32_t PAUSE_TEXTURE_COUNT = 4;
extern TextureSlot gPauseTextures[PAUSE_TEXTURE_COUNT];
// The pause menu's eight control pictures, then its eight adventurer pictures.
constexpr int32_t ADVENTURER_PICTURE_COUNT = 8;
extern TextureSlot gPausePictures[2 * ADVENTURER_PICTURE_COUNT];
// The pause menu's month calendar "bmp/calendar.tga": 7 columns of 45 and
// rows of 48 pixels under a heading, 380 x 380 in its corner.
extern TextureSlot gCalendarTexture;

// The customers' pictures at the counter: ten slots per customer type
// (type k uses slots 10k to 10k + 9), the name plates and the shop-mode sheet.
constexpr int32_t CUSTOMER_PICTURE_SLOTS = 10;
constexpr int32_t CUSTOMER_PICTURE_TOTAL = 500;
extern TextureSlot gCustomerPictures[CUSTOMER_PICTURE_TOTAL];
extern TextureSlot gNamePlateTexture;     // "bmp/ivent/chrname.tga"
extern TextureSlot gShopModeTexture;      // "bmp/shopmode.tga"

// One picture of a set: where it comes from, its size in texels, its slot.
using ScenePicture = TexturePictureRequest;

template <int32_t N>
void loadPictures(int32_t group, const ScenePicture (&list)[N]) {
    loadTexturesToGroup(group, list, N);
}

// Also (re)creates the off-screen render targets and starts the registry afresh.
void loadSystemTextures();
void releaseSystemTextures();
void loadTitleTextures();
// Start-up reads and decodes the system and title pictures on a worker
// while the graphics driver starts; the two loads above take them.
void startStartupPicturePrefetch();
void releaseTitleTextures();
void loadGameOverTextures();
void releaseGameOverTextures();
void loadResultsTextures();
void releaseResultsTextures();
void loadItemSelectTextures();   // the item choice has no pictures of its own
void releaseItemSelectTextures();
void loadEndingTextures();
void releaseEndingTextures();
void loadDepartTextures();
void loadChurchTextures();
void loadPlazaTextures();
void loadPlazaIdleTextures();
void loadTavernTextures();
void releasePlaceTextures();
void releaseEventTextures();
void loadEndingSaveTextures();
void releaseEndingSaveTextures();
void loadWorldMapTextures();
void releaseWorldMapTextures();
extern int32_t gOpeningVariant;   // 2: the extra opening's pictures
void resetOpeningVariant();       // back to a fresh process's 0
void loadOpeningTextures();
void releaseOpeningTextures();
void loadPauseTextures();
void releasePauseTextures();
