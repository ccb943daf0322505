// field/map_passes.h: the map of a field stage in four passes: 0 the opaque
// geometry, 1 the textures with an alpha channel, 2 the water surfaces, 3
// the light layers. A dungeon floor is its room grid of block models plus
// the breakable objects; the shop is its furniture pieces with the wall,
// floor and rug pictures, the counter tables and the vending machines the
// player chose. Run by the world drawing once per drawn frame; main thread.
#pragma once
#include <cstdint>

#include "engine/meshes.h"

// The stage model of the rug pieces for each rug choice.
extern const int32_t RUG_MODEL_BY_RUG[8];
// The model types of the shop's group B pieces (the counter tables).
extern const int32_t SHOP_TABLE_TYPES[10];

constexpr int32_t MAP_EMPTY_CELL_MODEL = 11;   // shown where a cell has no block
constexpr int32_t VENDING_FIRST_DEFINITION = 5200;
constexpr int32_t VENDING_TURNED_DEFINITION = 5203;   // drawn turned around on a type 4 piece

void drawMapGeometry(int32_t pass);
void drawMapLayers();

// Pure helpers of the passes.
// The pass (0..3) that draws a texture on a shop or dungeon stage; -1 when
// it is not drawn at all (a light texture while "uselighttex" is 1).
int32_t mapPassOfTexture(const MeshTextureEntry& entry, bool shop, bool lightTexturesOff);
// The water frame shown at a map frame count. A speed or count below 1
// counts as 1.
int32_t waterFrame(int32_t mapFrameCounter, int32_t speed, int32_t count);
// How far a dungeon cell lies from the eye, z counting half.
float mapCellDistance(float eyeX, float eyeZ, int32_t row, int32_t column);
// The grey level of the selected shelf's pulse.
int32_t shelfPulseGrey(int32_t tick);
// The stage model of a vending machine on a piece of a model type; -1 when
// the item names no model of the stage.
int32_t vendingModel(int32_t type, int32_t vendingKey);
// How many half turns a vending machine's piece takes before its yaw.
int32_t vendingTurnArounds(int32_t type, int32_t vendingKey, float yaw, float x);
