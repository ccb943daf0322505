// shop/shop_day_overlay.h: the counter scene under the counter's windows,
// drawn each frame while the shop is open: the letterbox bars, the
// shopkeeper's and the visitor's portraits, the level-up mark, an adventurer
// customer's equipment comparison and the order slot list. It works out
// gCounter.adventurerTargetSlot for the comparison, which the deal reads.
#pragma once

void drawShopDayOverlay();
