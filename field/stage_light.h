// field/stage_light.h: the stage's directional light, the floor objects and
// the ground shadows, three pieces of the world drawing that run once per
// drawn frame from it. Main thread only.
#pragma once
#include <cstdint>

#include "platform/gfx_light.h"

// Rebuilt every frame: a directional light, specular black.
extern GfxLight gStageLight;
// gStageLight with the stage's "chrlightoffset:" added to its ambient colour.
extern GfxLight gCharacterLight;

// Fills both lights by the stage's "maplight:" mode and sets light 0 and
// lighting: mode 0 unlit, 2 the stage's own light, 3 the time of day, any
// other a light pulsing on the map frame counter from behind the camera.
void updateStageLight();
void drawFloorObjects(int32_t pass);
void drawShadows();
// Back to the values a fresh process starts with.
void resetStageLight();
