// field/game_overlay.h: the 2D layer drawn over the field and the town map.
#pragma once

void drawGameOverlay();
void drawItemGetPopup();
void drawOverlayEffects();
