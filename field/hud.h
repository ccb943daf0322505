// field/hud.h: the in-game HUD state.
#pragma once
#include <cstdint>

void tickHud();
// Clears the balloon, the banner, the item-get popup and the HUD fade; run at
// every floor start, when a game starts from the title and on the town map.
void resetHudState();
void emptyOverlayHook();
// Starts the timed centre banner of that kind for that many frames.
void startBanner(int32_t frames, int32_t kind);
// The news banner runs from the next tick (a market day has advanced).
void startNewsBanner();
