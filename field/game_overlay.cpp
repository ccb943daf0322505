#include "field/game_overlay.h"

// The overlay arrives with the field's HUD and effects.
void drawGameOverlay() {}
void drawItemGetPopup() {}
void drawOverlayEffects() {}
