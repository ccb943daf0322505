#include "tools/market_pictures.h"

#include "shop/window_cells.h"

// A wide, low window with a darker band where the total price stands.
void drawMarketCells(Canvas& shopMode) {
    const SpriteSource& cell = SHOPMODE_QUANTITY_PANEL;
    int32_t x0 = (int32_t)cell.left, y0 = (int32_t)cell.top, x1 = (int32_t)cell.right, y1 = (int32_t)cell.bottom;
    panel(shopMode, x0, y0, x1, y1, 14, NAVY_TOP, NAVY_TOP, GOLD, 3);
    fillRect(shopMode, x0 + 16, y0 + 64, x1 - 16, y0 + 66, withAlpha(GOLD, 0.8f));
    fillRect(shopMode, x0 + 16, y0 + 70, x1 - 16, y1 - 12, 0xF01C2648);
}
