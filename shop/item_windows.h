// shop/item_windows.h: what the item list looks like: the list window with
// its seven rows, the side panel under it, the information popup, and the
// single item row other screens draw too; also the thousands notation of
// money. The drawing reads gItemList and the item table and changes nothing.
// Main thread, once per drawn frame.
#pragma once
#include <cstdint>

#include "shop/shop.h"

constexpr int32_t THOUSANDS_TEXT_SIZE = 16;   // "-2,147,483,648" and its end
constexpr float ITEM_ENTRY_TEXT_SCALE = 0.7384616f;

// "%d" below 1,000, "%d,%03d" from 1,000, "%d,%03d,%03d" from 1,000,000.
void formatThousands(char* buffer, int32_t size, int32_t value);

// The text colour of a list row by trend (-2..1) and usability; grey is the
// neutral row's grey while it is not flashing (0x7f).
uint32_t itemRowColour(int32_t trend, bool usable, int32_t grey);
// The side panel's price: price x factor, in the market and guild also by the
// trend (1.2 up, 0.8 down, 0.7 crashed), truncated.
int32_t itemPanelPrice(int32_t price, float factor, int32_t trend, bool market);
// The colour of a single row (drawItemListEntry), without alpha.
uint32_t itemEntryColour(int32_t trend);

// The item's icon at the size, in its own colours under the alpha (cell 0
// of its placeholder's sheet for an unidentified key).
void drawItemIcon(float x, float y, float size, int32_t key, int32_t alpha);
