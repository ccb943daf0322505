#include "field/game_overlay.h"

#include "shop/counter_window.h"

// The rest of the overlay arrives with the field's HUD and effects; the
// counter's windows are drawn already, as their speech text drives the
// counter.
void drawGameOverlay() { drawCounterWindow(); }
void drawItemGetPopup() {}
void drawOverlayEffects() {}
