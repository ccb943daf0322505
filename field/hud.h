// field/hud.h: the in-game HUD state.
#pragma once
#include <cstdint>

void tickHud();
// Clears the balloon, the banner, the item-get popup and the HUD fade; run at
// every floor start, when a game starts from the title and on the town map.
void resetHudState();
void emptyOverlayHook();
// Closes the speech balloon (with its sound); the balloon arrives with the HUD.
void closePopupMessage();
// The news banner runs from the next tick (a market day has advanced).
void startNewsBanner();

// The adventurer's level-up tag over the dungeon HUD; runs while above 0.
extern int32_t gLevelUpTagTimer;
