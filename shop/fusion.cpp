#include "shop/fusion.h"

#include "engine/input.h"
#include "engine/sound.h"
#include "shop/fusion_recipes.h"
#include "shop/item_list.h"
#include "shop/item_windows.h"

int32_t fusionRankForLevel(int32_t merchantLevel) {
    if (merchantLevel < 4) return 0;
    if (merchantLevel < 12) return 1;
    if (merchantLevel < 18) return 2;
    if (merchantLevel < 24) return 3;
    if (merchantLevel < 29) return 4;
    return 5;
}

int32_t fusionRecipesOffered(int32_t merchantLevel) {
    int32_t rank = fusionRankForLevel(merchantLevel);
    int32_t offered = 0;
    for (int32_t i = 0; i < gFusionRecipeCount && i < FUSION_RECIPE_MAX; ++i)
        if (gFusionRecipes[i].rank >= 1 && gFusionRecipes[i].rank <= rank) ++offered;
    return offered;
}

// The recipes, their choice and the fusion itself arrive with the recipe
// table's reader; until then the list shows the side panel alone and can
// only be left.
void openFusionList() { showFusionProduct(); }

int32_t updateFusionList() {
    if (!(gInputState[0].pressed & BUTTON_CANCEL)) return 0;
    closeItemInfo();
    playSoundEffect(SOUND_CANCEL);
    return 1;
}

void showFusionProduct() { showItemInfo(ITEM_KEY_FUSION_UNKNOWN); }

void drawFusionWindow(int32_t opening) {
    float x = opening > 15 ? 640.0f - 64.0f * (float)(opening - 15) : 640.0f;
    if (x < 0.0f) x = 0.0f;
    drawItemMessagePanel(x, 0.0f);
}
