// shop/fusion.h: item fusion at the merchants' guild: which recipes the
// merchant level offers, the recipe list with its product shown in the item
// windows, the question, the fusion itself and its result. The guild's scene
// (shop/market.h) runs the list while its Fusion entry has the list open
// (screen state 0), the question (5) and the result (6); the state lives in
// gMarket. Main thread only.
#pragma once
#include <cstdint>

constexpr int32_t FUSION_VISIBLE_ROWS = 6;
constexpr int32_t FUSION_PLUS_BUDGET = 15;   // the highest plus level of a product
constexpr int32_t FUSION_RESULT_WAIT = 60;   // the result waits for confirm from here
constexpr int32_t FUSION_RESULT_END = 75;

// The highest recipe rank offered at the merchant level; 0 none.
int32_t fusionRankForLevel(int32_t merchantLevel);
// The recipes the list shows: the first this many of the table, those of
// the ranks the merchant level has reached (none below level 4).
int32_t fusionRecipesOffered(int32_t merchantLevel);
// Recipe i has been fused in the running game.
bool isFusionRecipeKnown(int32_t recipe);
// Every ingredient of the recipe is stored in its quantity.
bool fusionIngredientsStored(int32_t recipe);
// The storage row that names a recipe's product: its own once fused, else
// its placeholder row.
int32_t fusionProductDisplayRow(int32_t recipe);

// The list opens (the guild's opening counter reached its end).
void openFusionList();
// One tick of the recipe list; 1 when it is left for the menu.
int32_t updateFusionList();
// One tick of the question, and of the result.
void updateFusionQuestion();
void updateFusionResult();
// The product of the recipe under the cursor in the side panel and popup.
void showFusionProduct();
// The recipe window, sliding in with the guild's opening counter.
void drawFusionWindow(int32_t opening);
