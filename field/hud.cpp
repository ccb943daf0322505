#include "field/hud.h"

// The HUD arrives with the field overlay.
void tickHud() {}
void startNewsBanner() {}
void resetHudState() {}
// The banners arrive with the HUD; until then none shows.
void startBanner(int32_t, int32_t) {}
void emptyOverlayHook() {}
