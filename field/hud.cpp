#include "field/hud.h"

// The HUD arrives with the field overlay.
void tickHud() {}
void startNewsBanner() {}
void resetHudState() {}
void emptyOverlayHook() {}
void closePopupMessage(int32_t) {}

int32_t gLevelUpTagTimer;
