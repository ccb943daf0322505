// shop/fusion.h: item fusion at the merchants' guild: which recipes the
// merchant level offers, the recipe list with its product shown in the item
// windows, and the recipe window. The guild's scene (shop/market.h) runs the
// list while its Fusion entry has the list open. Main thread only.
#pragma once
#include <cstdint>

// The recipes the list shows: the first this many of the table, those of
// the ranks the merchant level has reached (none below level 4).
int32_t fusionRecipesOffered(int32_t merchantLevel);
// The highest recipe rank offered at the merchant level; 0 none.
int32_t fusionRankForLevel(int32_t merchantLevel);

// The list opens (the guild's opening counter reached its end).
void openFusionList();
// One tick of the recipe list; 1 when it is left for the menu.
int32_t updateFusionList();
// The product of the recipe under the cursor in the side panel and popup.
void showFusionProduct();
// The recipe window, sliding in with the guild's opening counter.
void drawFusionWindow(int32_t opening);
