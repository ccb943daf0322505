// field/resources.h: the field's models and pictures, and the full release
// of every texture group.
#pragma once
#include <cstdint>

#include "engine/meshes.h"
#include "engine/textures.h"

// One display mesh per "map:" entry of the bound stage; the "mapbg:"
// background model in the last slot.
constexpr int32_t STAGE_MESH_COUNT = 20;
constexpr int32_t STAGE_BACKGROUND_SLOT = 19;
extern MeshRecord gStageMeshes[STAGE_MESH_COUNT];
// The water frames of the stage's "waterfile:", in order.
constexpr int32_t FIELD_TEXTURE_COUNT = 32;
extern TextureSlot gFieldTextures[FIELD_TEXTURE_COUNT];
// The shop's decoration, one entry per choice of the GameState.
constexpr int32_t SHOP_WALL_COUNT = 15;
constexpr int32_t SHOP_FLOOR_COUNT = 15;
constexpr int32_t SHOP_RUG_COUNT = 8;
constexpr int32_t SHOP_TABLE_COUNT = 8;
extern TextureSlot gShopWallTextures[SHOP_WALL_COUNT];
extern TextureSlot gShopFloorTextures[SHOP_FLOOR_COUNT];
extern TextureSlot gRugTextures[SHOP_RUG_COUNT];
extern MeshRecord gShopTableModels[SHOP_TABLE_COUNT][2];
// The field's 2D pictures the HUD draws from.
extern TextureSlot gMapTexture;            // "bmp/map.bmp", 256 x 512: minimap tiles and dots
extern TextureSlot gLevelWindowTexture;    // "bmp/leve_win.tga", 512 x 256
extern TextureSlot gMoodTexture;           // "bmp/mood_para.tga", 512 x 512: the atmosphere chart
extern TextureSlot gFloorBannerTexture;    // the floor's title or the boss's name
constexpr int32_t ENEMY_KIND_COUNT = 83;
extern TextureSlot gEnemyIconTextures[ENEMY_KIND_COUNT];   // 64 x 64, by enemy kind

// Releases texture groups 0 to 29 and the off-screen render targets: before
// a device reset, on the return to the title and at shut-down.
void releaseAllTextures();
// The records as a fresh process has them, forgetting (not releasing) what
// they held: the device they came from is gone by a new boot.
void resetFieldResources();
void loadFieldResources();

// The current stage's models: released unless the stage stays the same,
// then bound for the new stage.
void releaseStageModels();
void bindStageModels();
void releaseEnemyModels();
void loadFloorEnemies();
// The shop day's customer pictures: the first set, and a visitor's own.
void loadCustomerPortraitsA();
void loadCustomerPortraitsB();
// A decoration choice read from the save, as an index of its kind's list:
// a choice outside the list (a damaged or edited save) counts as the first.
int32_t shopDecorationChoice(int32_t value, int32_t count);
// One shop part: with all 0 only the chosen entry, with 1 every entry but
// the chosen one (the layout editor preloads the alternatives).
void loadShopWalls(int32_t all);
void loadShopFloors(int32_t all);
void loadShopRugs(int32_t all);
void loadShopTables(int32_t all);
