#include "field/game_overlay.h"

#include "shop/counter_window.h"
#include "shop/shop_day_overlay.h"

// The rest of the overlay arrives with the field's HUD and effects; the
// counter scene is drawn already, as its speech text drives the counter.
void drawGameOverlay() {
    drawShopDayOverlay();
    drawCounterWindow();
}
void drawItemGetPopup() {}
void drawOverlayEffects() {}
