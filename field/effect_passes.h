// field/effect_passes.h: the effect passes of the world drawing (3D effect
// objects, world-space effects) and the sun's glare and the lens flare.
// Once per drawn frame, main thread only.
#pragma once

void drawEffectObjects3D();
void drawWorldEffects();
void drawSunGlare();
void drawLensFlare();
#include <cstdint>
// One item's icon standing on a shop-floor cell, at a height above it.
void drawCellItemIcon(int32_t cellX, int32_t cellY, int32_t itemKey, float height);
