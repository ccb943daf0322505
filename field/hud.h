// field/hud.h: the in-game HUD state.
#pragma once
#include <cstdint>

void tickHud();
// Clears the balloon, the banner, the item-get popup and the HUD fade; run at
// every floor start, when a game starts from the title and on the town map.
void resetHudState();
void emptyOverlayHook();
// The news banner runs from the next tick (a market day has advanced).
void startNewsBanner();
// Closes the speech balloon's popup, with its sound when withSound is 1.
void closePopupMessage(int32_t withSound);

// The adventurer's level-up tag over the dungeon HUD; runs while above 0.
extern int32_t gLevelUpTagTimer;
