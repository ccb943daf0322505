// tools/market_pictures.h: the cells of the shared sheets that the market
// and the merchants' guild read, drawn into those sheets by makepictures.
#pragma once
#include "tools/picture_canvas.h"

// The quantity window into the shop-mode sheet (1024 x 512).
void drawMarketCells(Canvas& shopMode);
