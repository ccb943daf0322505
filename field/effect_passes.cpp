#include "field/effect_passes.h"

#include "field/field.h"

// The effect passes and the lens flare arrive with the effects' drawing.
void drawEffectObjects3D() {}
void drawWorldEffects() {}
void drawSunGlare() {}
void drawLensFlare() {}
// The shelf item icons arrive with the 3D effect pass.
void drawCellItemIcon(int32_t, int32_t, int32_t, float) {}
