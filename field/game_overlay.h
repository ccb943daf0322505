// field/game_overlay.h: the 2D layer drawn over the field and the town map.
#pragma once

void drawGameOverlay();
// The money at the top of the screen; drawn once the HUD is built.
void drawMoneyDisplay();
void drawItemGetPopup();
void drawOverlayEffects();
