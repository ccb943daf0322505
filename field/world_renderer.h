// field/world_renderer.h: the 3D world of the shop floor and the dungeon.
#pragma once

// The mip-map level-of-detail bias of the field's texture stage 0; nothing
// changes it.
extern float gMipmapLodBias;

void drawWorld3D();
