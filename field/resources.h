// field/resources.h: the field's models and pictures: what is loaded for
// which stage, into which slots and texture groups, and how it is released.
// The loads run on the loader threads (one at a time) and on the main thread
// after a device reset; the releases on the main thread.
#pragma once
#include <cstdint>

#include "engine/meshes.h"
#include "engine/scene_pictures.h"
#include "engine/textures.h"
#include "field/field.h"

// One display mesh per "map:" entry of the bound stage; the "mapbg:"
// background model in the last slot.
constexpr int32_t STAGE_MESH_COUNT = 20;
constexpr int32_t STAGE_BACKGROUND_SLOT = 19;
extern MeshRecord gStageMeshes[STAGE_MESH_COUNT];
// The water frames of the stage's "waterfile:", in order.
constexpr int32_t FIELD_TEXTURE_COUNT = 32;
extern TextureSlot gFieldTextures[FIELD_TEXTURE_COUNT];
// The 21 sheets of the shop-floor customers.
constexpr int32_t CUSTOMER_SHEET_COUNT = 21;
extern const int32_t CUSTOMER_SPRITE_SHEETS[CUSTOMER_SHEET_COUNT];
// The leader's sheet on a dungeon stage by the chosen adventurer 0..7.
int32_t leaderSpriteSheet(int32_t adventurer);

// Field pictures (group 3).
extern TextureSlot gMapTexture;            // "bmp/map.bmp"
extern TextureSlot gMagicCircleTexture;    // "bmp/mahoujin.bmp"
extern TextureSlot gDungeonClearTexture;   // "bmp/dungeon_clear.tga"
extern TextureSlot gLevelWindowTexture;    // "bmp/leve_win.tga"
extern TextureSlot gMoodTexture;           // "bmp/mood_para.tga"
// The sun's glare, the flare cells, the moon and the setting sun in one
// 256 x 256 atlas, on every stage: any stage may place a light in its sky.
extern TextureSlot gFlareSlot;             // "bmp/flare.tga"

// The field mesh table of the floor objects: two trees and two grasses.
constexpr int32_t FIELD_MESH_COUNT = 4;
extern MeshRecord gFieldMeshes[FIELD_MESH_COUNT];
// The props of attack and effect objects.
enum PropMesh : int32_t { PROP_ICE = 0, PROP_ROCK, PROP_TUNA, PROP_ARROW, PROP_RING, PROP_MESH_COUNT };
extern MeshRecord gPropMeshes[PROP_MESH_COUNT];
// The golem crystal of the golem family on the floor (models 3 and 6 share it).
extern MeshRecord gCrystalMesh;

// Enemy side (group 15): one icon per enemy kind, named by the 83 names of
// ENEMY_ICON_FILES; a kind beyond them has no icon.
constexpr int32_t ENEMY_ICON_COUNT = 83;
constexpr int32_t ENEMY_ICON_SLOTS = 100;
extern const char* const ENEMY_ICON_FILES[ENEMY_ICON_COUNT];
extern TextureSlot gEnemyIconTextures[ENEMY_ICON_SLOTS];
// The floor banner: a boss's name on its floor, else the dungeon's title.
extern TextureSlot gFloorBannerTexture;
struct FloorBanner {
    char path[64];
    int32_t width;
    int32_t height;
};
// The banner of a dungeon's 0-based floor; false for a dungeon without one
// (a number outside 0..5). Pure.
bool floorBanner(int32_t dungeon, int32_t floor, FloorBanner* out);
// The skinned model file of an enemy model number, and the crystal mesh
// that comes with it; null for a number that loads nothing. Pure.
const char* enemyModelFile(int32_t modelNumber);
const char* enemyCrystalFile(int32_t modelNumber);
// The enemy side for the kinds marked (ENEMY_KIND_CAPACITY flags): sprite
// sheets once each, icons, skinned models, then the floor banner.
void loadEnemyKindResources(const int32_t* flags);

// The shop's decoration, one entry per choice of the GameState.
constexpr int32_t SHOP_WALL_COUNT = 15;
constexpr int32_t SHOP_FLOOR_COUNT = 15;
constexpr int32_t SHOP_RUG_COUNT = 8;
constexpr int32_t SHOP_TABLE_COUNT = 8;
extern TextureSlot gShopWallTextures[SHOP_WALL_COUNT];
extern TextureSlot gShopFloorTextures[SHOP_FLOOR_COUNT];
extern TextureSlot gRugTextures[SHOP_RUG_COUNT];
extern MeshRecord gShopTableModels[SHOP_TABLE_COUNT][2];

// A decoration choice read from the save, as an index of its kind's list:
// a choice outside the list (a damaged or edited save) counts as the first.
int32_t shopDecorationChoice(int32_t value, int32_t count);

// The records as a fresh process has them, forgetting (not releasing) what
// they held: the device they came from is gone by a new boot.
void resetFieldResources();
