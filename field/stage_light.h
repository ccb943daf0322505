// field/stage_light.h: the stage's directional light, the floor objects and
// the ground shadows, three pieces of the world drawing that run once per
// drawn frame from it. Main thread only.
#pragma once
#include <cstdint>

#include "engine/math.h"
#include "platform/gfx_light.h"

// Rebuilt every frame: a directional light, specular black.
extern GfxLight gStageLight;
// gStageLight with the stage's "chrlightoffset:" added to its ambient colour.
extern GfxLight gCharacterLight;

// Fills both lights by the stage's "maplight:" mode and sets light 0 and
// lighting: mode 0 unlit, 2 the stage's own light, 3 the time of day, any
// other a light pulsing on the map frame counter from behind the camera.
void updateStageLight();
// The placed floor objects of the pass (0 to 3, 3 additive); trees and
// grass not while "usetree" is 1.
void drawFloorObjects(int32_t pass);
// Every ground shadow: the party, customers, enemies, attack and effect
// objects, floor objects and pickups, each the shade picture laid on the
// ground's slope and multiplied into the frame.
void drawShadows();

// One shadow's grey level (0 darkest) and size factor.
struct ShadowLook {
    int32_t grey;
    float size;
};
// Pure: a party member's shadow at height h above the ground.
ShadowLook partyShadowLook(int32_t member, float h);
// Pure: an enemy's shadow at height h with its alpha, sink height and
// overall scale times the kind's scale and shadow size.
ShadowLook enemyShadowLook(float h, int32_t alpha, float sinkHeight, float scale);
// Pure: a pickup's shadow at height h, halved by its flag.
ShadowLook pickupShadowLook(float h, int32_t halved);
// Pure: the ground is flat enough for a moving thing's shadow.
bool shadowGroundFlat(float normalY);
// Pure: the projection of the ground quad onto the slope with that ground
// normal, along the vertical, through the height 0.2.
Matrix4 shadowSlopeMatrix(float nx, float ny, float nz);
