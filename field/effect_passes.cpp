#include "field/effect_passes.h"

// The effect passes and the lens flare arrive with the effects' drawing.
void drawEffectObjects3D() {}
void drawWorldEffects() {}
void drawSunGlare() {}
void drawLensFlare() {}
