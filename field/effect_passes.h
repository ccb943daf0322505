// field/effect_passes.h: the effect passes of the world drawing (3D effect
// objects, world-space effects) and the sun's glare and the lens flare.
// Once per drawn frame, main thread only.
#pragma once

void drawEffectObjects3D();
void drawWorldEffects();
void drawSunGlare();
void drawLensFlare();
