#include "field/game_overlay.h"

#include "shop/counter_window.h"
#include "shop/item_windows.h"
#include "shop/shop_day_overlay.h"

// The rest of the overlay arrives with the field's HUD and effects; the
// counter scene and the item list are drawn already, as the speech text
// drives the counter. Each draws nothing while it is not shown.
void drawGameOverlay() {
    drawShopDayOverlay();
    drawItemListWindow(0.0f, 0.0f);
    drawCounterWindow();
}
void drawItemGetPopup() {}
void drawOverlayEffects() {}

void drawMoneyDisplay() {}
