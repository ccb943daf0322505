// field/world_renderer.h: the 3D world of game mode 1 (the shop floor and
// the dungeon floors): the fixed pass order with each pass's far plane, fog,
// light, depth and blend states, and the small state functions every mesh
// drawer shares. drawWorld3D runs once per drawn frame in which the field is
// shown; everything here runs on the main thread.
#pragma once
#include <cstdint>

#include "engine/meshes.h"
#include "field/field_state.h"

constexpr float WORLD_ASPECT = 1.3333334f;
constexpr float WORLD_NEAR = 1.0f;
constexpr float WORLD_FAR_NEAR_FIELD = 350.0f;   // map, floor objects, enemies, water, lens flare
constexpr float WORLD_FAR_WIDE = 2000.0f;        // background, models, characters, world effects

// The device states the mesh drawers last set, so a texture's flags change
// the device only when they differ. Valid from resetMeshStateCache until
// another drawer changes one of these states.
enum MeshCullClass : int32_t { MESH_CULL_CCW = 0, MESH_CULL_NONE = 1 };
enum MeshMipClass : int32_t { MESH_MIP_LINEAR = 0, MESH_MIP_NONE = 1 };
struct MeshStateCache {
    int32_t cull;       // MeshCullClass
    int32_t mip;        // MeshMipClass
    int32_t addressU;   // GfxTextureAddress
    int32_t addressV;
};

extern int32_t gMapFrameCounter;   // +1 per drawn world scene; the water frames and the light pulse run on it
extern MeshStateCache gMeshStateCache;

// The mip-map level-of-detail bias of the field's texture stage 0; nothing
// changes it.
extern float gMipmapLodBias;

// Stage 0's colour operation by a draw code mod 7 (argument 1 the diffuse
// colour, argument 2 the texture).
extern const uint32_t COLOR_OP_BY_MODE[7];

void drawWorldScene(GfxDevice* device);
// A negative mode leaves the colour operation as it is.
void setColorOpByMode(int32_t mode);
void resetMeshStateCache();
void applyTextureStates(int32_t textureIndex);
void drawMapOpaque();
void drawMapAlphaLayer();
// Sets the projection for one pass's far plane.
void setWorldFarPlane(float farPlane);
// Ascending by key (signed), the values moved alike; equal keys keep their
// order. Pure.
void sortKeysWithValues(int32_t* keys, int32_t* values, int32_t count);
